#include "cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace cp932 = platform::cp932;

const std::string kReplacement = "\xEF\xBF\xBD"; // U+FFFD

struct Pair {
    std::string utf8;
    std::string bytes;
};

void PrintTo(const Pair& p, std::ostream* os) {
    *os << p.utf8;
}

class Cp932RoundTrip : public testing::TestWithParam<Pair> {};

TEST_P(Cp932RoundTrip, EncodesToWindowsBytesAndDecodesBack) {
    cp932::Encoded e = cp932::encode(GetParam().utf8);
    EXPECT_TRUE(e.ok());
    EXPECT_EQ(e.bytes, GetParam().bytes);
    EXPECT_EQ(cp932::decode(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932RoundTrip,
    testing::Values(Pair{"", ""}, Pair{"Abc 09,\"\r\n", "Abc 09,\"\r\n"},
                    Pair{"髙橋", "\xFB\xFC\x8B\xB4"}, Pair{"﨑", "\xFA\xB1"}, Pair{"①", "\x87\x40"},
                    Pair{"\uFF5E", "\x81\x60"}, // full-width tilde
                    Pair{"ｱｲ", "\xB1\xB2"}, Pair{"山田太郎", "\x8E\x52\x93\x63\x91\xBE\x98\x59"},
                    Pair{"令和元年", "\x97\xDF\x98\x61\x8C\xB3\x94\x4E"}, Pair{"\\~", "\\~"},
                    Pair{std::string("a\0b", 3), std::string("a\0b", 3)}));

struct Invalid {
    std::string bytes;
    std::string utf8;
};

void PrintTo(const Invalid& c, std::ostream* os) {
    *os << testing::PrintToString(std::vector<unsigned char>(c.bytes.begin(), c.bytes.end()));
}

class Cp932DecodeInvalid : public testing::TestWithParam<Invalid> {};

TEST_P(Cp932DecodeInvalid, GivesReplacementCharacterAndGoesOn) {
    EXPECT_EQ(cp932::decode(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Cp932DecodeInvalid,
    testing::Values(Invalid{"\x81", kReplacement}, Invalid{"A\x81", "A" + kReplacement},
                    Invalid{"\xFF", kReplacement},
                    Invalid{"a\xFF"
                            "b",
                            "a" + kReplacement + "b"},
                    Invalid{"\x81\x20", kReplacement + " "},
                    Invalid{"\xFF\xFF\x8F\xBA\x98\x61", kReplacement + kReplacement + "昭和"}));

TEST(Cp932Decode, KeepsNulCharacters) {
    std::string decoded = cp932::decode(std::string("\0\0\x8F\xBA\0", 5));
    EXPECT_EQ(decoded, std::string("\0\0昭\0", 6));
}

TEST(Cp932Encode, ListsEachUnencodableCharacterOnceInOrderAndLeavesThemOut) {
    cp932::Encoded e = cp932::encode("a😀髙€😀b€");
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.unencodable, (std::vector<std::string>{"😀", "€"}));
    EXPECT_EQ(e.bytes, "a\xFB\xFC"
                       "b");
}

TEST(Cp932Encode, TreatsInvalidUtf8AsUnencodable) {
    cp932::Encoded e = cp932::encode("a\xFF"
                                     "b");
    EXPECT_FALSE(e.ok());
    EXPECT_EQ(e.bytes, "ab");
    cp932::Encoded cut = cp932::encode("a\xE3\x81");
    EXPECT_FALSE(cut.ok());
    EXPECT_EQ(cut.bytes, "a");
}

TEST(Cp932Encode, LongTextIsConvertedWhole) {
    std::string text;
    std::string bytes;
    for (int i = 0; i < 500; ++i) {
        text += "髙a";
        bytes += "\xFB\xFC"
                 "a";
    }
    cp932::Encoded e = cp932::encode(text + "😀" + text);
    EXPECT_EQ(e.bytes, bytes + bytes);
    EXPECT_EQ(cp932::decode(bytes), text);
}

} // namespace
