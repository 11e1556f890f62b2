#include "errors.h"
#include "kojin_record.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::KojinRecord;

std::string spaces(std::size_t n) {
    return std::string(n, ' ');
}

struct EncodeCase {
    std::string label;
    KojinRecord record;
    std::string bytes; // all 42 bytes of the file record
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.label;
}

class RecordEncode : public testing::TestWithParam<EncodeCase> {};

TEST_P(RecordEncode, WritesFieldsAsCp932CutOrFilledToTheirByteWidths) {
    ASSERT_EQ(GetParam().bytes.size(), 42u);
    EXPECT_EQ(core::encodeRecord(GetParam().record, "kojinnen.txt"), GetParam().bytes);
}

TEST_P(RecordEncode, ReadingAndWritingBackKeepsTheBytes) {
    const std::string& bytes = GetParam().bytes;
    EXPECT_EQ(core::encodeRecord(core::decodeRecord(bytes), "kojinnen.txt"), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordEncode,
    testing::Values(
        EncodeCase{"takahashi", KojinRecord::assign("1", "髙橋", "昭和", "31", "8", "26"),
                   "1    \xFB\xFC\x8B\xB4                \x8F\xBA\x98\x61 31  8   26  "},
        EncodeCase{"twelve_full_width",
                   KojinRecord::assign("2", "あいうえおかきくけこさし", "平成", "1", "1", "1"),
                   "2    \x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF"
                   "\x82\xB1\x95\xBD\x90\xAC 1   1   1   "},
        EncodeCase{"twenty_five_half_width",
                   KojinRecord::assign("3", "ABCDEFGHIJKLMNOPQRSTUVWXY", "", "", "", ""),
                   "3    ABCDEFGHIJKLMNOPQRST" + spaces(17)},
        EncodeCase{"double_byte_straddling_the_end",
                   KojinRecord::assign("4", "あいうえおかきくけa漢", "令和", "5", "12", "31"),
                   "4    \x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF"
                   "a \x97\xDF\x98\x61 5   12  31  "},
        EncodeCase{"windows_extension_characters",
                   KojinRecord::assign("32767", "①～", "明治", "45", "7", "30"),
                   "32767\x87\x40\x81\x60                \x96\xBE\x8E\xA1 45  7   30  "},
        EncodeCase{"half_width_katakana", KojinRecord::assign("5", "ｱｲｳ", "", "", "", ""),
                   "5    \xB1\xB2\xB3" + spaces(34)},
        EncodeCase{"blank", KojinRecord::assign("", "", "", "", "", ""), spaces(42)},
        EncodeCase{"over_long_fields",
                   KojinRecord::assign("123456", "x", "大正十五年", "12345", "12345", "12345"),
                   "12345x                   \x91\xE5\x90\xB3 123412341234"}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return info.param.label; });

struct FitCharsCase {
    std::string text;
    int width;
    std::string fitted;
};

class FitChars : public testing::TestWithParam<FitCharsCase> {};

TEST_P(FitChars, CountsTheWidthInCharacters) {
    EXPECT_EQ(core::fitChars(GetParam().text, GetParam().width), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(Texts, FitChars,
                         testing::Values(FitCharsCase{"", 4, "    "},
                                         FitCharsCase{"abc", 5, "abc  "},
                                         FitCharsCase{"abcdefg", 5, "abcde"},
                                         FitCharsCase{"髙橋", 5, "髙橋   "},
                                         FitCharsCase{"あいうえおか", 5, "あいうえお"},
                                         FitCharsCase{"あいうえおかきくけこさし", 20,
                                                      "あいうえおかきくけこさし" + spaces(8)},
                                         FitCharsCase{"😀a", 2, "😀a"}));

struct FitBytesCase {
    std::string bytes;
    int width;
    std::string fitted;
};

class FitBytes : public testing::TestWithParam<FitBytesCase> {};

TEST_P(FitBytes, NeverKeepsHalfADoubleByteCharacter) {
    EXPECT_EQ(core::fitBytes(GetParam().bytes, GetParam().width), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(Bytes, FitBytes,
                         testing::Values(FitBytesCase{"", 3, "   "},
                                         FitBytesCase{"abc", 5, "abc  "},
                                         FitBytesCase{"abcdef", 4, "abcd"},
                                         FitBytesCase{"\xFB\xFC\x8B\xB4", 4, "\xFB\xFC\x8B\xB4"},
                                         FitBytesCase{"\xFB\xFC\x8B\xB4", 3, "\xFB\xFC "},
                                         FitBytesCase{"a\x87\x40", 2, "a "},
                                         FitBytesCase{"\x8F\xBA\x98\x61", 1, " "},
                                         FitBytesCase{"\xB1\xB2\xB3", 2, "\xB1\xB2"},
                                         FitBytesCase{"\xE0\x40z", 2, "\xE0\x40"}));

TEST(RecordDecode, KeepsTrailingSpacesAndTheEraIsItsFirstTwoCharacters) {
    KojinRecord r =
        core::decodeRecord("1    \xFB\xFC\x8B\xB4                \x8F\xBA\x98\x61 31  8   26  ");
    EXPECT_EQ(r.bangou, "1    ");
    EXPECT_EQ(r.simei, "髙橋" + spaces(16));
    EXPECT_EQ(r.gengou, "昭和 ");
    EXPECT_EQ(platform::utf8::left(r.gengou, 2), "昭和");
    EXPECT_EQ(r.nen, "31  ");
    EXPECT_EQ(r.tuki, "8   ");
    EXPECT_EQ(r.hi, "26  ");
}

TEST(RecordDecode, ZeroBytesAndMissingBytesBecomeNulCharactersShownAsEmpty) {
    for (const std::string& bytes : {std::string(42, '\0'), std::string("7    ")}) {
        KojinRecord r = core::decodeRecord(bytes);
        EXPECT_EQ(r.simei, std::string(20, '\0'));
        EXPECT_EQ(r.hi, std::string(4, '\0'));
        EXPECT_EQ(core::shownText(r.simei), "");
        EXPECT_EQ(core::shownText(r.gengou), "");
    }
    EXPECT_EQ(core::decodeRecord("7    ").bangou, "7    ");
}

TEST(ShownText, EndsAtTheFirstNulCharacter) {
    using namespace std::string_literals;
    EXPECT_EQ(core::shownText("髙橋  "), "髙橋  ");
    EXPECT_EQ(core::shownText("ab\0cd\0"s), "ab");
    EXPECT_EQ(core::shownText("\0ab"s), "");
    EXPECT_EQ(core::shownText(""), "");
}

TEST(RecordEncode, UnencodableCharacterThrowsNamingItAndThePath) {
    KojinRecord r = KojinRecord::assign("1", "山田😀", "昭和", "31", "8", "2€");
    try {
        core::encodeRecord(r, "/data/kojinnen.txt");
        FAIL() << "expected UnencodableError";
    } catch (const core::UnencodableError& e) {
        EXPECT_EQ(e.characters(), (std::vector<std::string>{"😀", "€"}));
        EXPECT_NE(std::string(e.what()).find("/data/kojinnen.txt"), std::string::npos);
    }
}

} // namespace
