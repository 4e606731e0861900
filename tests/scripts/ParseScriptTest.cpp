// Reading script texts: the fields of an entry, the choices for values the
// entry cannot hold, the conversion errors, and a fuzz run over random and
// mutated texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "run/Context.h"
#include "scripts/ReportItems.h"
#include "scripts/Scripts.h"

using namespace attcalc;

namespace {

// The example script: when the valid overtime exceeds an hour, the first
// duration variable takes its value.
const char* kExample = "1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9010;3010;0;0;0;";

RuleScript Parse(const std::string& text) {
    RuleScript e;
    ParseScript(text, e);
    return e;
}

// The message of the conversion error of `text`, or "" when it is read.
std::string Refusal(const std::string& text) {
    try {
        Parse(text);
    } catch (const ScriptConversionError& e) {
        return e.what();
    }
    return "";
}

std::string Header(const std::string& enabledScopeFilter = "1;1;0;", const std::string& split = "2") {
    return enabledScopeFilter + "0;" + split + ";0;0;0;0;0;0;0;0;0;0;";
}

}  // namespace

TEST(ParseScript, FieldsOfAnEntry) {
    RuleScript e = Parse(kExample);
    EXPECT_EQ(e.Enabled, 1);
    EXPECT_EQ(e.Scope, 1);
    EXPECT_EQ(e.DayFilter, 0);
    EXPECT_EQ(e.NextDayFilter, 0);
    EXPECT_EQ(e.Combiner, 0);
    EXPECT_EQ(e.Split, 2);
    EXPECT_EQ(SourceCode(e.Condition1.Left), 3010);
    EXPECT_EQ(e.Condition1.Compare, 0);
    EXPECT_EQ(e.Condition1.Operand.Item, 0);
    EXPECT_EQ(e.Condition1.Operand.Constant, 60.0);
    EXPECT_EQ(e.Condition2.Left, 0);
    EXPECT_EQ(TargetCode(e.Actions[0].Target), 9010);
    EXPECT_EQ(SourceCode(e.Actions[0].Operand.Item), 3010);
    EXPECT_EQ(e.Actions[0].Kind, 0);
    for (int k = 1; k < 6; ++k) EXPECT_EQ(e.Actions[static_cast<std::size_t>(k)].Target, 0) << "missing actions do nothing";

    // Filter 1286 = 5 x 256 + 6: a non-holiday day before an unofficial holiday.
    e = Parse("1;2;1286;1;7;2010;5;2030;3;1.5;4110;3;0;0;-2.25;"
              "9310;0;0;1;1;" "7100;4020;2;10;3;");
    EXPECT_EQ(e.Scope, 2);
    EXPECT_EQ(e.DayFilter, 6);
    EXPECT_EQ(e.NextDayFilter, 5);
    EXPECT_EQ(e.Combiner, 1);
    EXPECT_EQ(e.Split, 7);
    EXPECT_EQ(SourceCode(e.Condition1.Operand.Item), 2030);
    EXPECT_EQ(e.Condition1.Operand.Op, 3);
    EXPECT_EQ(e.Condition1.Operand.Constant, 1.5);
    EXPECT_EQ(SourceCode(e.Condition2.Left), 4110);
    EXPECT_EQ(e.Condition2.Operand.Constant, -2.25);
    EXPECT_EQ(e.Actions[0].Kind, 1);
    EXPECT_EQ(e.Actions[1].Target, 0) << "7100 can be read but not assigned";
    EXPECT_EQ(SourceCode(e.Actions[1].Operand.Item), 4020);
    EXPECT_EQ(e.Actions[1].Kind, 3);

    // Six actions fill every slot; blanks around fields and the text are allowed.
    std::string six = " \t" + Header("1 ; 1 ;0;", " 3 ");
    for (int k = 0; k < 6; ++k) six += "90" + std::to_string(k + 1) + "0;0;0;" + std::to_string(k) + ";0;";
    e = Parse(six + "\r\n");
    EXPECT_EQ(e.Split, 3);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(TargetCode(e.Actions[static_cast<std::size_t>(k)].Target), 9010 + 10 * k);
        EXPECT_EQ(e.Actions[static_cast<std::size_t>(k)].Operand.Constant, k);
    }
}

// Values the entry cannot hold: an enabled field other than 0 or 1 switches
// the script off; a split outside 1 ... 7 and a seventh action are refused.
// Decimal separators: the point and the comma.
TEST(ParseScript, ChoicesForValuesOutsideTheEntry) {
    const struct {
        const char* enabled;
        int want;
    } enabled[] = {{"0", 0}, {"1", 1}, {"2", 0}, {"-1", 0}, {"+1", 1}, {"01", 1}};
    for (const auto& c : enabled)
        EXPECT_EQ(Parse(Header(std::string(c.enabled) + ";1;0;")).Enabled, c.want) << c.enabled;

    for (int split = 1; split <= 7; ++split) EXPECT_EQ(Parse(Header("1;1;0;", std::to_string(split))).Split, split);
    for (const char* split : {"0", "8", "-1", "100"})
        EXPECT_NE(Refusal(Header("1;1;0;", split)).find("split"), std::string::npos) << split;

    std::string seven = Header();
    for (int k = 0; k < 7; ++k) seven += "9010;0;0;1;1;";
    EXPECT_NE(Refusal(seven).find("field 46 (action 7 target item): a script holds at most six actions"),
              std::string::npos)
        << Refusal(seven);

    const struct {
        const char* constant;
        double want;
    } reals[] = {{"2.5", 2.5}, {"2,5", 2.5}, {"-0,75", -0.75}, {"+3", 3}, {".5", 0.5}, {"1e3", 1000}, {" 7 ", 7}};
    for (const auto& c : reals)
        EXPECT_EQ(Parse(Header() + "9010;0;0;" + c.constant + ";0;").Actions[0].Operand.Constant, c.want)
            << c.constant;
}

TEST(ParseScript, ConversionErrorsNameTheField) {
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"x;1;0;0;2;0;0;0;0;0;0;0;0;0;0;", "field 1 (enabled): \"x\" is not a number"},
        {"1;1;0;0;2;3010;0;0;0;6O;0;0;0;0;0;", "field 10 (condition 1 operand constant): \"6O\" is not a number"},
        {"1;1;0;0;2;3010;0;0;0;60;0;0;0;0;0;9010;3010;0;0;0", "field 20 (action 1 kind): \"0\" is not followed by \";\""},
        {"1;1;0;", "field 4 (combiner): the text ends before this field"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;3010;", "field 18 (action 1 operand operator): the text ends before"},
        {"1;;0;0;2;0;0;0;0;0;0;0;0;0;0;", "field 2 (scope): the field is empty"},
        {"1;1;2.0;0;2;0;0;0;0;0;0;0;0;0;0;", "field 3 (filter): \"2.0\" is not a number"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;1,5,5;0;", "field 19 (action 1 operand constant)"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;1e999;0;", "field 19 (action 1 operand constant): \"1e999\" is out of range"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;nan;0;", "\"nan\" is not a number"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;inf;0;", "\"inf\" is not a number"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;9010;0;0;+-1;0;", "\"+-1\" is not a number"},
        {"1;2147483648;0;0;2;0;0;0;0;0;0;0;0;0;0;", "field 2 (scope): \"2147483648\" is out of the 32-bit range"},
        {"1;99999999999999999999999;0;0;2;0;0;0;0;0;0;0;0;0;0;", "out of the 32-bit range"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0; ;", "field 16 (action 1 target item): the field is empty"},
        {"1;1;0;0;2;0;0;0;0;0;0;0;0;0;0;\x01;", "\"\\x01\" is not a number"},
        {"", "field 1 (enabled): the text ends before this field"},
    };
    for (const auto& c : cases) {
        const std::string got = Refusal(c.text);
        EXPECT_NE(got.find(c.message), std::string::npos) << c.text << "\n  gave: " << got;
    }
    // The extremes of 32 bits are numbers.
    EXPECT_EQ(Parse("1;-2147483648;2147483647;0;2;0;0;0;0;0;0;0;0;0;0;").Scope, -2147483647 - 1);

    // A refused text leaves the entry as it was.
    RuleScript e = Parse(kExample);
    EXPECT_THROW(ParseScript("1;2;0;0;2;3010;x;", e), ScriptConversionError);
    EXPECT_EQ(e.Scope, 1);
    EXPECT_EQ(TargetCode(e.Actions[0].Target), 9010);
}

// Random and mutated texts never crash or hang the reader: each is read or
// refused with the conversion error.
TEST(ParseScript, FuzzedTextsAreReadOrRefused) {
    std::mt19937 rng(20240611);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::string> pieces = {
        "0", "1", "2", "7", "-1", "3010", "9010", "9400", "2147483647", "2147483648", "-2147483649",
        "99999999999999999999999999", "1.5", "2,5", "1e308", "1e309", "-1e-400", "0.0000001", "nan", "inf",
        "", " ", "x", "\xd9\xab", "\xff\xfe", std::string(1, '\0'), "+", "-", ".", "1..2", "1,2,3", "1e", "0x10", "\t5\t"};
    const std::string base = kExample;
    int read = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        switch (pick(5)) {
            case 0:  // random bytes, some of them separators
                for (int i = pick(300); i > 0; --i) text += pick(4) == 0 ? ';' : static_cast<char>(pick(256));
                break;
            case 1:  // the example cut anywhere
                text = base.substr(0, static_cast<std::size_t>(pick(static_cast<int>(base.size()) + 1)));
                break;
            case 2: {  // the example with some bytes changed, inserted or dropped
                text = base;
                for (int i = pick(4) + 1; i > 0 && !text.empty(); --i) {
                    std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(text.size())));
                    switch (pick(3)) {
                        case 0: text[at] = static_cast<char>(pick(256)); break;
                        case 1: text.insert(at, 1, static_cast<char>(pick(256))); break;
                        default: text.erase(at, 1); break;
                    }
                }
                break;
            }
            case 3:  // fields from the list of awkward pieces
                for (int i = pick(60); i > 0; --i) text += pieces[static_cast<std::size_t>(pick(static_cast<int>(pieces.size())))] + ";";
                break;
            default: {  // thousands of fields, or one huge field
                const int n = pick(2) == 0 ? 5000 + pick(5000) : 1;
                for (int i = 0; i < n; ++i) text += n == 1 ? std::string(100000, '7') + ";" : std::to_string(pick(3)) + ";";
                break;
            }
        }
        RuleScript e;
        try {
            ParseScript(text, e);
            ++read;
            EXPECT_GE(e.Split, 1);
            EXPECT_LE(e.Split, 7);
            EXPECT_TRUE(e.Enabled == 0 || e.Enabled == 1);
        } catch (const ScriptConversionError&) {
            ++refused;
        } catch (const std::exception& x) {
            ADD_FAILURE() << "unexpected " << x.what() << " for a text of " << text.size() << " bytes";
        }
    }
    EXPECT_GT(read, 100);
    EXPECT_GT(refused, 100);
}
