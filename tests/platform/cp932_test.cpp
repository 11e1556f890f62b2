#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace cp932 = platform::cp932;
using namespace std::string_literals;
using Texts = std::pair<std::string, std::string>;

TEST(Cp932, EncodesWindowsCharactersAndDecodesThemBack) {
    const Texts cases[] = {{"髙橋", "\xFB\xFC\x8B\xB4"}, {"①", "\x87\x40"},
                           {"\uFF5E", "\x81\x60"},       {"ｱ", "\xB1"},
                           {"A\\~\r\n", "A\\~\r\n"},     {"\0昭\0"s, "\0\x8F\xBA\0"s}};
    for (const auto& [utf8, bytes] : cases) {
        const cp932::Encoded e = cp932::encode(utf8);
        EXPECT_EQ(std::pair(e.bytes, e.ok()), std::pair(bytes, true)) << utf8;
        EXPECT_EQ(cp932::decode(bytes), utf8);
    }
    const std::string kana(5000, '\xB1'); // ｱ: one byte here, three in UTF-8
    EXPECT_EQ(cp932::encode(cp932::decode(kana)).bytes, kana);
}

TEST(Cp932, DecodesInvalidBytesAsReplacementCharacterAndGoesOn) {
    // A byte no character starts with, a lead byte before a space, one at the very end;
    // 80 too, which Windows alone would read as U+0080.
    EXPECT_EQ(cp932::decode("a\xFF\x80!\x81 \x8F\xBA\x81"), "a\uFFFD\uFFFD!\uFFFD 昭\uFFFD");
}

TEST(Cp932, EncodeListsEachUnencodableCharacterOnceInOrderAndLeavesThemOut) {
    // U+E0041 is a tag character, which iconv would drop without a word; Windows alone
    // writes U+0080 and U+F8F0 as bytes that read back as nothing.
    const cp932::Encoded e = cp932::encode("a😀髙€😀 €\U000E0041\u0080\uF8F0");
    EXPECT_EQ(e.unencodable,
              (std::vector<std::string>{"😀", "€", "\U000E0041", "\u0080", "\uF8F0"}));
    EXPECT_EQ(e.bytes, "a\xFB\xFC ");
}

TEST(Cp932, JisEquivalentsAreWrittenAsTheCodePagesOwnCharacter) {
    const struct {
        const char* typed;
        const char* bytes;
        const char* readBack;
    } cases[] = {{"〜", "\x81\x60", "～"}, {"−", "\x81\x7C", "－"}, {"—", "\x81\x5C", "―"},
                 {"‖", "\x81\x61", "∥"},   {"¢", "\x81\x91", "￠"}, {"£", "\x81\x92", "￡"},
                 {"¬", "\x81\xCA", "￢"},  {"¥", "\\", "\\"},       {"‾", "~", "~"}};
    for (const auto& c : cases) {
        const cp932::Encoded e = cp932::encode(c.typed);
        EXPECT_EQ(std::pair(e.bytes, e.ok()), std::pair(std::string(c.bytes), true)) << c.typed;
        EXPECT_EQ(cp932::decode(e.bytes), c.readBack);
    }
}

} // namespace
