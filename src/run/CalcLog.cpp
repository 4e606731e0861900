#include "run/CalcLog.h"

#include "calendar/Jalali.h"
#include "db/Database.h"
#include "run/Context.h"

namespace attcalc {

void WriteCalcLog(TRunContext& ctx, const std::string& code, int year, int month) {
    ctx.db->Insert("qvlog", {
                                {"qvl_Date", DbValue::Text(TodayJalali())},
                                {"qvl_Time", DbValue::Text(NowTime())},
                                {"qvl_pcode", DbValue::Text(code)},
                                {"qvl_year", DbValue::Int(year)},
                                {"qvl_month", DbValue::Int(month)},
                            });
}

}  // namespace attcalc
