// The calculation rule: one field per column of the tables rules (identity,
// overtime, lateness and absence, missions) and rulesetc (everything from
// Rule_mohr on), in the order of those topics. Integers are the tables'
// smallint values widened, flags their bit values. The member initialisers are
// the built-in defaults that a rule code without a rules row receives, so a
// value-initialised rule_type is exactly that default rule (except rule_code).
// Filled only by RuleLoad (config/RuleLoad.h); everyone else reads it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace attcalc {

struct rule_type {
    // Identity. rule_code keeps its previous value when a code has no rules row.
    std::int32_t rule_code = 0;  // code: rule code (key of rules and rulesetc; a person's p_rulegroup points here)
    std::string rule_name{};  // text: rule name (up to 20 characters in the table)

    // Overtime.
    bool Rule_emojavvez = false;  // flag: overtime needs a daily overtime permit (use the daily permit list)
    bool Rule_ehmojavvez = false;  // flag: overtime needs an hourly overtime permit (use the hourly permit list)
    bool Rule_emojavvezafter = false;  // flag: the overtime permit applies to after-shift overtime
    std::int32_t Rule_emojazday = 0;  // minutes: daily overtime allowed without a permit, working day
    std::int32_t Rule_emojazdayg = 0;  // minutes: daily overtime allowed without a permit, non-working day
    std::int32_t Rule_eming = 0;  // minutes: minimum before-shift overtime (below it none counts)
    std::int32_t Rule_eminb = 0;  // minutes: minimum after-shift overtime
    std::int32_t Rule_emaxg = 0;  // minutes: maximum before-shift overtime
    std::int32_t Rule_emaxb = 0;  // minutes: maximum after-shift overtime
    std::int32_t Rule_emaxa = 0;  // minutes: maximum overtime on a normal (working) day
    std::int32_t Rule_emaxt = 0;  // minutes: maximum overtime on a holiday / non-working day
    std::int32_t Rule_emaxm = 0;  // hours: maximum monthly overtime (whole hours)
    std::int32_t Rule_emaxtm = 0;  // hours: maximum monthly holiday overtime (whole hours)
    std::int32_t Rule_efix = 0;  // minutes: mandatory overtime per shift
    std::int32_t Rule_eza = 0;  // percent: normal-day overtime: percent applied up to Rule_ezatime
    std::int32_t Rule_ezatime = 0;  // minutes: normal-day overtime: threshold time of the first coefficient tier
    std::int32_t Rule_eza1 = 0;  // percent: normal-day overtime: percent applied beyond Rule_ezatime
    std::int32_t Rule_ezt = 0;  // percent: holiday overtime: percent up to Rule_ezttime
    std::int32_t Rule_ezttime = 0;  // minutes: holiday overtime: threshold time
    std::int32_t Rule_ezt1 = 0;  // percent: holiday overtime: percent beyond the threshold
    std::int32_t Rule_ezg = 0;  // percent: non-working-day overtime: percent up to Rule_ezgtime
    std::int32_t Rule_ezgtime = 0;  // minutes: non-working-day overtime: threshold time
    std::int32_t Rule_ezg1 = 0;  // percent: non-working-day overtime: percent beyond the threshold
    std::int32_t Rule_ezr = 0;  // percent: official-holiday overtime: percent up to Rule_ezrtime
    std::int32_t Rule_ezrtime = 0;  // minutes: official-holiday overtime: threshold time
    std::int32_t Rule_ezr1 = 0;  // percent: official-holiday overtime: percent beyond the threshold
    std::int32_t Rule_ezshab = 0;  // percent: night overtime: percent up to Rule_ezshabtime
    std::int32_t Rule_ezshabtime = 0;  // minutes: night overtime: threshold time
    std::int32_t Rule_ezshab1 = 0;  // percent: night overtime: percent beyond the threshold
    std::int32_t Rule_ezshabt = 0;  // percent: holiday night overtime: percent up to Rule_ezshabttime
    std::int32_t Rule_ezshabttime = 0;  // minutes: holiday night overtime: threshold time
    std::int32_t Rule_ezshabt1 = 0;  // percent: holiday night overtime: percent beyond the threshold
    std::int32_t Rule_emshr = 0;  // minutes: overtime credited per day of a 24-hour mission, normal day
    std::int32_t Rule_emshrt = 0;  // minutes: overtime credited per day of a 24-hour mission, holiday
    std::int32_t Rule_emday = 0;  // minutes: overtime credited per day of a daily mission, normal day
    std::int32_t Rule_emdayt = 0;  // minutes: overtime credited per day of a daily mission, holiday
    std::int32_t Rule_etk = 0;  // minutes: overtime credited per worked official or unofficial holiday
    std::int32_t Rule_ehd = 0;  // minutes: overtime credited per day of presence
    bool Rule_eba = false;  // flag: presence during the in-shift break counts as overtime
    bool Rule_egm = false;  // flag: unauthorised daily overtime is converted to authorised
    bool Rule_e28fullmomtad = false;  // flag: a continuous-overtime card (punch state 28) may span more than one day
    bool Rule_emzero = false;  // flag: authorised overtime is zeroed at the end of the monthly calculation
    bool Rule_ema = true;  // flag: on mission days, presence counts as overtime
    std::int32_t Rule_ezma = 0;  // percent: added coefficient (percent) for overtime on mission days
    bool Rule_emo = true;  // flag: on leave days, presence counts as overtime
    std::int32_t Rule_ezmo = 0;  // percent: added coefficient (percent) for overtime on leave days
    std::int32_t Rule_edkeshik = 0;  // minutes: minimum holiday overtime that makes one on-call duty
    std::int32_t Rule_enoworkday = 0;  // minutes: non-working day: overtime reaching this counts as one worked holiday ...
    std::int32_t Rule_enoworkkasr = 0;  // minutes: ... and this amount is then deducted from the overtime
    std::int32_t Rule_eghabl1 = 0;  // minutes: before-shift overtime reaching this ...
    std::int32_t Rule_eghabl2 = 0;  // minutes: ... is counted as this amount
    std::int32_t Rule_ebaad1 = 0;  // minutes: after-shift overtime reaching this ... (tier 1)
    std::int32_t Rule_ebaad2 = 0;  // minutes: ... is counted as this amount (tier 1)
    std::int32_t Rule_ebaad11 = 0;  // minutes: after-shift overtime reaching this ... (tier 2)
    std::int32_t Rule_ebaad12 = 0;  // minutes: ... is counted as this amount (tier 2)
    std::int32_t Rule_ebaad21 = 0;  // minutes: after-shift overtime reaching this ... (tier 3)
    std::int32_t Rule_ebaad22 = 0;  // minutes: ... is counted as this amount (tier 3)
    std::int32_t Rule_egkl = 0;  // minutes: non-working-day overtime reaching this ...
    std::int32_t Rule_egknahar = 0;  // minutes: ... has this amount deducted as lunch
    std::int32_t Rule_egtlimit = 0;  // minutes: monthly: non-holiday overtime above this moves to holiday overtime
    std::int32_t Rule_egfrom = 0;  // minute of day: window of overtime on a non-working day: from (minute of day)
    std::int32_t Rule_egto = 1439;  // minute of day: window of overtime on a non-working day: to (minute of day)

    // Lateness, early leave and absence.
    std::int32_t Rule_GMT1 = 0;  // minutes: allowed lateness per day
    std::int32_t Rule_gmt2 = 0;  // minutes: allowed early leave per day
    std::int32_t Rule_gmb = 0;  // minutes: allowed in-shift absence per day
    std::int32_t Rule_GMT1m = 0;  // minutes: allowed lateness per month
    std::int32_t Rule_gmt2m = 0;  // minutes: allowed early leave per month
    std::int32_t Rule_gmbm = 0;  // minutes: allowed in-shift absence per month
    std::int32_t Rule_gmaxd = 0;  // minutes: maximum allowed hourly absence per day
    std::int32_t Rule_gmaxm = 0;  // minutes: maximum allowed hourly absence per month
    std::int32_t Rule_ggmezmanfi = 0;  // minutes: monthly: allowed absence up to this converts to negative overtime
    std::int32_t Rule_gpas = 0;  // minutes: maximum absence per day without penalty
    std::int32_t Rule_gzpas = 0;  // percent: penalty percent after the penalty-free absence
    std::int32_t Rule_gslimit = 480;  // minutes: absence plus penalties reaching this makes the whole day absence
    std::int32_t Rule_gtajillimit = 480;  // minutes: early leave reaching this makes the whole day absence
    std::int32_t Rule_gmorbigh = 0;  // minutes: absence added for each day of unpaid leave
    std::int32_t Rule_gafvm = 0;  // minutes: monthly waiver of hourly absence
    bool Rule_gafvlimit = false;  // flag: no waiver at all when the absence exceeds the waiver
    std::int32_t Rule_gjanbaz = 0;  // minutes: allowed daily work reduction for disabled veterans
    bool Rule_gjanbazEmor = false;  // flag: when the veteran allowance exceeds the day's shortfall, the unused part is settled through the entitled-leave balance
    bool Rule_gjanbazIgnore = false;  // flag: selects which of two absence totals takes the unused part of the veteran allowance when Rule_gjanbazEmor is off
    bool Rule_gtmm = false;  // flag: a justified-lateness card is valid
    bool Rule_gtsm = false;  // flag: a service (transport) lateness card is valid
    bool Rule_gkbh = true;  // flag: lateness/early leave beyond the daily allowance counts wholly as absence
    bool Rule_gkbm = true;  // flag: lateness/early leave beyond the monthly allowance counts wholly as absence
    bool Rule_gebein = false;  // flag: leaving during the in-shift break counts as hourly absence
    bool Rule_gslastm = false;  // flag: hourly absence of the previous month is carried into this month
    bool Rule_gddouble = false;  // flag: daily absence counts double
    std::int32_t Rule_gttm = 0;  // count: number of unauthorised latenesses per month without penalty
    std::int32_t Rule_gttmj = 0;  // minutes: penalty per lateness beyond Rule_gttm
    std::int32_t Rule_gnaghes = 0;  // minutes: absence charged for an entry without exit (incomplete punches)
    bool Rule_gtactive = false;  // flag, set by the loader: true when any of Rule_gtp1, Rule_gtp2 or Rule_gtp3 is non-zero
    std::int32_t Rule_gtf1 = 0;  // minute of day: time-of-day absence penalty window 1: from
    std::int32_t Rule_gte1 = 0;  // minute of day: window 1: to
    std::int32_t Rule_gtp1 = 0;  // percent: window 1: penalty percent
    std::int32_t Rule_gtf2 = 0;  // minute of day: window 2: from
    std::int32_t Rule_gte2 = 0;  // minute of day: window 2: to
    std::int32_t Rule_gtp2 = 0;  // percent: window 2: penalty percent
    std::int32_t Rule_gtf3 = 0;  // minute of day: window 3: from
    std::int32_t Rule_gte3 = 0;  // minute of day: window 3: to
    std::int32_t Rule_gtp3 = 0;  // percent: window 3: penalty percent
    std::int32_t Rule_gsmt1 = 0;  // minutes: monthly hourly absence penalty: first tier up to
    std::int32_t Rule_gsmp1 = 0;  // percent: first tier extra percent
    std::int32_t Rule_gsmt2 = 0;  // minutes: second tier up to
    std::int32_t Rule_gsmp2 = 0;  // percent: second tier extra percent
    std::int32_t Rule_gsmp3 = 0;  // percent: extra percent beyond the second tier
    std::int32_t Rule_gzhd = 480;  // minutes: hourly absence to days: this much equals one day of absence
    bool Rule_gd = true;  // flag: absence on working days: true = threshold method (below Rule_gbd stays hourly; otherwise one day, plus the excess over Rule_kard when above Rule_gkd), false = conversion (whole multiples of Rule_grzhd become days)
    std::int32_t Rule_gbd = 240;  // minutes: threshold method: lower bound
    std::int32_t Rule_gkd = 480;  // minutes: threshold method: upper bound
    std::int32_t Rule_grzhd = 480;  // minutes: conversion method: this much absence equals one day

    // Missions.
    std::int32_t Rule_mahr = 480;  // minutes: hourly missions to days: this much equals one day of mission
    std::int32_t Rule_mamax = 999;  // count: maximum number of daily and 24-hour missions per year
    bool Rule_makar = false;  // flag: missions are added to net work
    bool Rule_makarna = false;  // flag: missions are added to gross work
    bool Rule_marmtm = false;  // flag: holidays between daily missions count as mission
    bool Rule_mashrmtm = false;  // flag: holidays between 24-hour missions count as mission
    bool Rule_marmrm = false;  // flag: official holidays between daily missions count as mission
    bool Rule_mashrmrm = false;  // flag: official holidays between 24-hour missions count as mission
    bool Rule_marmgm = false;  // flag: non-working days between daily missions count as mission
    bool Rule_mashrmgm = false;  // flag: non-working days between 24-hour missions count as mission
    bool Rule_mage = true;  // flag: daily and 24-hour missions on non-working days count as overtime
    bool Rule_mams1 = true;  // flag: an hourly mission at shift start with a card is allowed
    bool Rule_masg = true;  // flag: missions in non-working hours are allowed
    bool Rule_masn = true;  // flag: missions during the in-shift break are allowed
    bool Rule_manowbat = true;  // flag: missions count towards shift work
    bool Rule_manokez = true;  // flag: a mission on a non-working day with presence counts as overtime
    std::int32_t Rule_marshgs = 0;  // minutes: daily/24-hour missions on non-working days become hourly missions of this length
    bool Rule_mamojavvez = false;  // flag: missions need a permit
    bool Rule_mamtomor = false;  // flag: each mission day on a holiday adds one day to the leave reserve
    std::int32_t Rule_mad = 1;  // selector: mission on working days: method selector: 0 threshold (Rule_mab1/Rule_mak1), 1 conversion by Rule_marhr, 2 fixed default duration Rule_madfixh
    std::int32_t Rule_mab1 = 240;  // minutes: threshold method: lower bound
    std::int32_t Rule_mak1 = 480;  // minutes: threshold method: upper bound
    std::int32_t Rule_marhr = 480;  // minutes: conversion method: this much mission equals one day
    std::int32_t Rule_madfixh = 480;  // minutes: fixed method: default duration of a daily mission; the excess over the shift counts as overtime

    // Leaves.
    std::int32_t Rule_mohr = 480;  // minutes: hourly leave to days: this much equals one day of leave
    std::int32_t Rule_moey = 30;  // days: entitled leave days per year
    std::int32_t Rule_moafv = 0;  // minutes: monthly waiver of hourly entitled leave
    bool Rule_moafvlimit = false;  // flag: no waiver at all when the leave exceeds the waiver
    std::int32_t Rule_mohd = 480;  // minutes: hourly leave in a day reaching this makes the whole day a daily leave
    std::int32_t Rule_mohdg = 0;  // minutes: hourly leave in a day reaching this makes the whole day a daily absence
    std::int32_t Rule_moesl = 0;  // minutes: monthly cap on hourly entitled leave (time)
    std::int32_t Rule_moesyl = 0;  // minutes: yearly cap on hourly entitled leave (time)
    std::int32_t Rule_moesmin = 0;  // minutes: minimum hourly entitled leave per occurrence
    std::int32_t Rule_moesn = 0;  // count: monthly cap on the number of hourly entitled leaves
    std::int32_t Rule_moesf = 0;  // count: monthly cap on the number of shift-start entitled leaves
    std::int32_t Rule_moepl = 0;  // days: cap on the previous year's remaining leave (days)
    std::int32_t Rule_moepls = 0;  // days: cap on the total remaining leave of previous years (days)
    std::int32_t Rule_moeal = 9;  // days: cap on adding to the entitled leave reserve per year (days)
    std::int32_t Rule_mosy = 3;  // days: sick leave cap per year (days)
    std::int32_t Rule_mosm = 3;  // days: sick leave cap per month (days)
    std::int32_t Rule_moeneg = 0;  // days: cap on a negative entitled leave balance (days)
    bool Rule_moeb = false;  // flag: entitled leave without balance becomes unpaid leave
    bool Rule_moebs = false;  // flag: sick leave without balance becomes unpaid sick leave
    bool Rule_moTalab = true;  // flag: only the current month's balance and earlier credit may be used
    bool Rule_mokar = true;  // flag: leaves are added to net work
    bool Rule_mokarna = true;  // flag: leaves are added to gross work
    bool Rule_momtm = false;  // flag: holidays between leaves count as leave
    bool Rule_momrm = false;  // flag: official holidays between leaves count as leave
    bool Rule_momgm = false;  // flag: non-working days between leaves count as leave
    bool Rule_momtms = false;  // flag: same as Rule_momtm for sick leave
    bool Rule_momrms = false;  // flag: same as Rule_momrm for sick leave
    bool Rule_momgms = false;  // flag: same as Rule_momgm for sick leave
    bool Rule_monowrooz = false;  // flag: the three rules on days between leaves (Rule_momtm, Rule_momrm, Rule_momgm) also cover the new-year (Nowruz) holidays
    bool Rule_morgkok = false;  // flag: leave registered on non-working days counts as definite leave
    bool Rule_morsbiok = false;  // flag: unpaid sick leave on working and non-working days counts as one day of leave
    bool Rule_moms1 = true;  // flag: hourly leave at shift start with a pre-card is allowed
    bool Rule_mout = false;  // flag: entitled leave outside the shift is allowed and counts as overtime
    bool Rule_monowbat = false;  // flag: leave counts towards shift work
    bool Rule_momojavvez = false;  // flag: leave needs a permit
    bool Rule_mobislastm = false;  // flag: hourly unpaid leave of the previous month is carried into this month
    std::int32_t Rule_moezcode = 0;  // leave code: daily leave code (0, 43, 44 or 45) that is charged as negative overtime
    std::int32_t Rule_moezkasr = 0;  // minutes: negative overtime charged per daily leave of code Rule_moezcode
    std::int32_t Rule_morbies = 0;  // minutes: deducted from the entitled leave reserve per day of unpaid leave
    std::int32_t Rule_moghes = 0;  // minutes: deducted from the entitled leave reserve per day of absence
    bool Rule_moh = true;  // flag: leave on working days: true = threshold method (Rule_mob1/Rule_mok1), false = conversion (Rule_morhr)
    std::int32_t Rule_mob1 = 240;  // minutes: threshold method: lower bound
    std::int32_t Rule_mok1 = 480;  // minutes: threshold method: upper bound
    std::int32_t Rule_morhr = 480;  // minutes: conversion method: this much leave equals one day
    bool Rule_moeylist = false;  // flag: entitled leave follows the month table Rule_moeyd/Rule_moeyh
    bool Rule_mounfair = false;  // flag: the month table is used for leave balances in reports

    // Required work per month. The month tables hold month 1 (the first month
    // of the Jalali year) at index 0.
    std::array<std::int32_t, 12> Rule_karpermah{};  // hours: required work for each month of the year (month 1 = first month of the Jalali year), whole hours; used by Rule_karsaati 6 and 7

    // Entitled leave month table.
    std::array<std::int32_t, 12> Rule_moeyd{};  // days: entitled leave table, day part per month of the year
    std::array<std::int32_t, 12> Rule_moeyh{};  // minutes: entitled leave table, minute part per month of the year

    // Work.
    bool Rule_dtkar = false;  // flag: holidays count as work
    bool Rule_drkar = false;  // flag: official holidays count as work
    bool Rule_dgkar = false;  // flag: non-working days count as work
    std::int32_t Rule_kard = 480;  // minutes: hours of work to days: this much equals one day of work
    bool Rule_karb1 = true;  // flag: a working day with more than Rule_kard counts as one day of work
    bool Rule_kark1 = true;  // flag: a working day with less than Rule_kard counts as one day of work
    bool Rule_kart = false;  // flag: shift work on a holiday also credits the holiday's work
    bool Rule_karr = false;  // flag: shift work on an official holiday also credits that day's work
    std::int32_t Rule_karsaati = 0;  // selector: required-work method for hourly personnel: 0 none; 1..7 (2 Rule_karsaat hours; 3 Rule_karpercent of group Rule_karpgroup; 4 days x Rule_KarPerday; 5 Rule_karlazem hours inside shifts; 6 and 7 month table Rule_karpermah)
    std::int32_t Rule_karlazem = 0;  // hours: monthly required work inside shifts (whole hours)
    std::int32_t Rule_KarPerday = 480;  // minutes: required work per day for the days-times-hours method
    std::int32_t Rule_karpercent = 100;  // percent: required monthly work as percent of a work group
    std::int32_t Rule_karpgroup = 0;  // group code: the work group of Rule_karpercent
    std::int32_t Rule_karsaat = 120;  // hours: required monthly work (whole hours), working days ignored
    bool Rule_bahreh = false;  // flag: apply the productivity rule to reduce work hours
    bool Rule_isround = false;  // flag: round punch times before calculating
    std::int32_t Rule_roundtime = 0;  // minutes: punch rounding step (minutes)
    std::int32_t Rule_roundtype = 3;  // selector: punch rounding method: 1 up, 2 down, 3 nearest (half up), 4 thirds (minute-of-hour 0-19 to :00, 20-39 to :30, 40-59 to next :00); step and method act on the minutes within the hour
    bool Rule_isroundCalc = false;  // flag: round all calculation results
    std::int32_t Rule_roundtimeCalc = 0;  // minutes: result rounding step (minutes)
    std::int32_t Rule_roundtypeCalc = 3;  // selector: result rounding method (same codes as Rule_roundtype)
    bool Rule_isroundmonth = false;  // flag: round the monthly results
    std::int32_t Rule_roundtimemonth = 0;  // minutes: monthly rounding step (minutes)
    std::int32_t Rule_roundtypemonth = 3;  // selector: monthly rounding method (same codes as Rule_roundtype)

    // Conversions, compensation and punches.
    bool Rule_ghmh = false;  // flag: all hourly absences become hourly leave
    bool Rule_gdmd = false;  // flag: all daily absences become daily leave
    bool Rule_ghmhm = false;  // flag: monthly: hourly absences become hourly leave
    bool Rule_gkar = false;  // flag: all absences become work
    std::int32_t Rule_outinworkmax = 0;  // minutes: cap for each exit-to-entry interval counted as work (with Rule_outinwork)
    std::int32_t Rule_t1e2d = 0;  // minutes: daily: lateness compensated by after-shift overtime up to this
    std::int32_t Rule_t2e1d = 0;  // minutes: daily: early leave compensated by before-shift overtime up to this
    bool Rule_t1e2b = false;  // flag: if lateness/early leave exceed the amounts above, no compensation applies
    bool Rule_EzJomehEMor = false;  // flag: Friday overtime is added to the leave credit
    bool Rule_EztnoJomehEMor = false;  // flag: non-Friday holiday overtime is added to the leave credit
    bool Rule_gdez = false;  // flag: monthly: daily absences are compensated by overtime
    std::int32_t Rule_mojerror = 0;  // minutes: allowed error (minutes) for each leave or mission permit
    std::int32_t Rule_ted = 0;  // minutes: daily: under-work compensated by overtime up to this
    std::int32_t Rule_t1e2m = 0;  // minutes: monthly: under-work compensated by overtime up to this
    std::int32_t Rule_takhirmo = 0;  // minutes: monthly: lateness up to this becomes entitled leave
    std::int32_t Rule_tajilmo = 0;  // minutes: monthly: early leave up to this becomes entitled leave
    std::int32_t Rule_ghmoh = 0;  // minutes: monthly: hourly absence up to this becomes entitled leave
    bool Rule_incard = false;  // flag: an entry punch is assumed automatically
    bool Rule_outcard = false;  // flag: an exit punch is assumed automatically
    bool Rule_addyignore = false;  // flag: ordinary punches (without a pre-card) are ignored
    bool Rule_fixstation = false;  // flag: only punches from the person's own control station count
    std::int32_t Rule_trdnear = 0;  // minutes: minimum interval between two consecutive punches (minutes)
    bool Rule_nohand = false;  // flag: manual changes are not shown in the report
    bool Rule_Zahab = false;  // flag: transport allowance credited on presence
    bool Rule_Zahabm = false;  // flag: transport allowance credited on mission days
    bool Rule_Zahabt = false;  // flag: transport allowance credited on holidays
    bool Rule_Zahabtrd = false;  // flag: transport allowance credited on a punch
    bool Rule_Ghaza = false;  // flag: meal allowance credited on presence
    bool Rule_Ghazam = false;  // flag: meal allowance credited on mission days
    bool Rule_Ghazat = false;  // flag: meal allowance credited on holidays
    bool Rule_Ghazatrd = false;  // flag: meal allowance credited on a punch
    bool Rule_In1_Out2 = false;  // flag: all punches alternate entry, exit
    bool Rule_In1_Out2_28 = true;  // flag: with alternating punches, overtime is authorised too
    bool Rule_outinwork = false;  // flag: exit-to-entry intervals count as work, each up to Rule_outinworkmax
    bool Rule_mghez = false;  // flag: monthly: hourly absence not converted to days is deducted from overtime

    // Day boundaries, windows and Fridays.
    std::int32_t Rule_startday = 360;  // minute of day: start of day time (minute of day; default 06:00)
    std::int32_t Rule_startnight = 1080;  // minute of day: start of night time (minute of day; default 18:00)
    std::int32_t Rule_night = 480;  // minutes: night work that counts as one night shift
    std::int32_t Rule_shrmarz = 0;  // minute of day: start of the 24-hour calculation day (minute of day)
    bool Rule_shrfix = false;  // flag: the start of the calculation day is fixed
    std::int32_t Rule_startvijeh = 0;  // minute of day: special window for special calculations: from
    std::int32_t Rule_endvijeh = 0;  // minute of day: special window: to
    std::int32_t Rule_cbtatil = 0;  // selector: shift-work percent for non-working days and holidays (selector)
    std::int32_t Rule_naharto = 0;  // minute of day: lunch window counted as work: to
    std::int32_t Rule_naharfrom = 0;  // minute of day: lunch window counted as work: from
    std::int32_t Rule_naharlimit = 0;  // minutes: lunch window counted as work: duration
    std::int32_t Rule_SahariTo = 0;  // minute of day: pre-dawn meal window not allowed as overtime: to
    std::int32_t Rule_Saharifrom = 0;  // minute of day: pre-dawn meal window: from
    std::int32_t Rule_sobhanehto = 0;  // minute of day: breakfast window not allowed as overtime: to
    std::int32_t Rule_sobhanehfrom = 0;  // minute of day: breakfast window: from
    std::int32_t Rule_nahar1to = 0;  // minute of day: lunch window not allowed as overtime: to
    std::int32_t Rule_nahar1from = 0;  // minute of day: lunch window: from
    std::int32_t Rule_shamto = 0;  // minute of day: dinner window not allowed as overtime: to
    std::int32_t Rule_shamfrom = 0;  // minute of day: dinner window: from
    std::int32_t Rule_fridaylimit = 0;  // minutes: threshold for Friday work
    bool Rule_fridaybashift = true;  // flag: Friday with shift: below/above-threshold selector
    bool Rule_fridaybishift = true;  // flag: Friday without shift: below/above-threshold selector

    // Temporary substitute rule (dates at most 10 characters, empty when unset).
    std::string Rule_spRuleFDate{};  // date: temporary substitute rule: first date (yyyy/mm/dd)
    std::string Rule_spRuleEDate{};  // date: temporary substitute rule: last date
    std::int32_t Rule_spRule = -1;  // rule code: temporary substitute rule code (-1 = none)

    // Texts of the columns Rule_Script1 ... Rule_Script20 of the rules row
    // (index N - 1), empty when the column is null or there is no row. They
    // are parsed into the script table by the rule-script module.
    std::array<std::string, 20> Rule_Script{};

    // Derived by the loader after every load: !Rule_mounfair. When true, the
    // leave balances spread Rule_moey evenly over the year even if
    // Rule_moeylist is set.
    bool LeaveTableForBalances = true;
};

}  // namespace attcalc
