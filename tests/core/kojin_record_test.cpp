#include "core/errors.h"
#include "core/kojin_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::KojinRecord;

const std::string kTakahashi = "1    \xFB\xFC\x8B\xB4                \x8F\xBA\x98\x61 31  8   26  ";
// あいうえおかきくけ: nine double-byte characters, 18 bytes.
const std::string kAToKe =
    "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF";

TEST(RecordEncode, CutsOrFillsFieldsToTheirByteWidthsAndReadsBackToTheSameBytes) {
    struct Case {
        KojinRecord record;
        std::string bytes; // all 42 bytes
    };
    const Case cases[] = {
        {core::assign({"1", "髙橋", "昭和", "31", "8", "26"}), kTakahashi},
        {core::assign({"2", "あいうえおかきくけこさし", "平成", "1", "1", "1"}),
         "2    " + kAToKe + "\x82\xB1\x95\xBD\x90\xAC 1   1   1   "},
        {core::assign({"3", "ABCDEFGHIJKLMNOPQRSTUVWXY", "", "", "", ""}),
         "3    ABCDEFGHIJKLMNOPQRST" + std::string(17, ' ')},
        // 髙 and 十 would straddle the ends of their fields: a space takes their place.
        {core::assign({"4", "あいうえおかきくけa髙", "大正十", "5", "12", "31"}),
         "4    " + kAToKe + "a \x91\xE5\x90\xB3 5   12  31  "},
        // Half-width katakana are single bytes, not lead bytes.
        {core::assign({"5", "ABCDEFGHIJKLMNOPQRSｱ", "", "", "", ""}),
         "5    ABCDEFGHIJKLMNOPQRS\xB1" + std::string(17, ' ')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record.bangou);
        ASSERT_EQ(c.bytes.size(), 42u);
        EXPECT_EQ(core::encodeRecord(c.record, "kojinnen.txt"), c.bytes);
        EXPECT_EQ(core::encodeRecord(core::decodeRecord(c.bytes), "kojinnen.txt"), c.bytes);
    }
}

TEST(RecordDecode, KeepsTrailingSpacesAndTurnsZeroBytesIntoNulsShownAsEmpty) {
    using namespace std::string_literals;
    KojinRecord r = core::decodeRecord(kTakahashi);
    EXPECT_EQ(r.simei, "髙橋" + std::string(16, ' '));
    EXPECT_EQ(r.gengou, "昭和 ");
    EXPECT_EQ(r.hi, "26  ");
    for (const std::string& bytes : {std::string(42, '\0'), "7    "s}) { // missing bytes too
        EXPECT_EQ(core::decodeRecord(bytes).simei, std::string(20, '\0'));
        EXPECT_EQ(core::shownText(core::decodeRecord(bytes).simei), "");
    }
    EXPECT_EQ(core::shownText("ab\0cd"s), "ab");
    // Another program cut a name after the first byte of 髙: that half reads as a space;
    // a byte that starts no character still reads as U+FFFD.
    const std::string half = "1    " + std::string(19, 'A') + "\xFB" + std::string(17, ' ');
    EXPECT_EQ(core::decodeRecord(half).simei, std::string(19, 'A') + " ");
    EXPECT_EQ(core::encodeRecord(core::decodeRecord(half), ""),
              "1    " + std::string(20, 'A').replace(19, 1, " ") + std::string(17, ' '));
    EXPECT_EQ(core::decodeRecord("1    \xFF" + std::string(36, ' ')).simei,
              "\uFFFD" + std::string(19, ' '));
}

TEST(RecordEncode, UnencodableCharacterThrowsNamingItAndThePath) {
    KojinRecord r = core::assign({"1", "山田😀\uFFFD", "昭和", "31", "8", "2€"});
    try {
        core::encodeRecord(r, "/data/kojinnen.txt");
        FAIL() << "expected UnencodableError";
    } catch (const core::UnencodableError& e) {
        EXPECT_EQ(e.characters(), (std::vector<std::string>{"😀", "\uFFFD", "€"}));
        // U+FFFD came from bytes of a data file that no character reads: say so.
        EXPECT_NE(std::string(e.what()).find("kojinfl.txt）の中で、文字として読めなかった"),
                  std::string::npos);
        EXPECT_NE(std::string(e.what()).find("/data/kojinnen.txt"), std::string::npos);
    }
    // What the field cuts away anyway is not refused: here the emoji past byte 20.
    EXPECT_EQ(core::encodeRecord(core::assign({"1", "あいうえおかきくけこ😀", "", "", "", ""}), "")
                  .substr(5, 20),
              "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1");
}

} // namespace
