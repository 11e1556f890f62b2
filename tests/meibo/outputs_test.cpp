#include "meibo/command_line.h"
#include "meibo/meibo_window.h"
#include "tests/meibo/meibo_support.h"
#include "tests/support/test_support.h"

#include <QAction>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

using testing_support::writeBytes;

// A register of 120 people, 人物001 to 人物120: three pages, born from 昭和 1 to 昭和 50.
class MeiboOutputs : public testing::Test {
protected:
    void SetUp() override {
        std::vector<core::KojinRecord> records;
        for (int n = 1; n <= 120; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "人物%03d", n);
            records.push_back(
                core::assign({std::to_string(n), name, "昭和", std::to_string(n % 50 + 1),
                              std::to_string(n % 12 + 1), "10"}));
        }
        writeBytes(reg, meibo_testing::registerBytes(records));
    }

    int run(std::vector<std::string> args) {
        std::ostringstream e;
        const meibo::CommandLine line = meibo::parseCommandLine(args);
        int status =
            meibo::writeFiles(line, line.registerPath.empty() ? reg : line.registerPath, clock, e);
        err = e.str();
        return status;
    }

#ifndef _WIN32
    // What a tool of poppler-utils prints for the PDF.
    static std::string poppler(const std::string& command) {
        std::string out;
        if (FILE* p = ::popen(command.c_str(), "r")) {
            char buf[4096];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
                out.append(buf, n);
            ::pclose(p);
        }
        return out;
    }
    // The text of each page.
    static std::vector<std::string> pages(const std::string& pdf) {
        std::string text = poppler("pdftotext -layout '" + pdf + "' -");
        std::vector<std::string> out;
        for (std::size_t at = 0, end; (end = text.find('\f', at)) != std::string::npos;
             at = end + 1)
            out.push_back(text.substr(at, end - at));
        return out;
    }
#endif

    testing_support::TempFolder folder;
    std::string reg = folder.file("kojinnen.txt");
    testing_support::FixedClock clock{{2025, 4, 1}};
    std::string err;
};

#ifndef _WIN32
TEST_F(MeiboOutputs, PdfHoldsTheRowsInOrderAsTextWithHeadAndFootOnEachPage) {
    ASSERT_EQ(run({"--pdf", folder.file("a.pdf"), "--on", "2025-12-08"}), 0) << err;
    const std::vector<std::string> text = pages(folder.file("a.pdf"));
    ASSERT_EQ(text.size(), 3u);
    std::size_t person = 1, at = 0;
    std::string all;
    for (std::size_t p = 0; p < text.size(); ++p) {
        const std::string& page = text[p];
        EXPECT_EQ(page.find("名簿表"), page.find_first_not_of(" \n")) << page;
        for (const std::string& head :
             {std::string("基準日 令和7年12月8日（2025/12/08）"), std::string("条件: 条件なし"),
              std::string("全 120 件中 120 件"), std::string("長寿祝い"),
              std::to_string(p + 1) + " / " + std::to_string(text.size())})
            EXPECT_NE(page.find(head), std::string::npos) << head << " on page " << p + 1;
        all += page;
    }
    for (; person <= 120; ++person) {
        char name[16];
        std::snprintf(name, sizeof name, "人物%03zu", person);
        at = all.find(name, at);
        ASSERT_NE(at, std::string::npos) << name << " is missing or out of order";
    }
    // Fonts embedded, no page drawn as a picture.
    EXPECT_EQ(
        poppler("pdffonts '" + folder.file("a.pdf") + "' | tail -n +3 | awk '{print $(NF-4)}'"),
        "yes\n");

    // Landscape: wider pages, more of them; a view's label and conditions at the head.
    ASSERT_EQ(run({"--pdf", folder.file("b.pdf"), "--landscape", "--view", "longevity"}), 0);
    const std::vector<std::string> wide = pages(folder.file("b.pdf"));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_NE(wide[0].find("条件: 今年の長寿祝い（今年の長寿祝い）"), std::string::npos) << wide[0];
    EXPECT_NE(poppler("pdfinfo '" + folder.file("b.pdf") + "'").find("842 x 595 pts (A4)"),
              std::string::npos);
}
#endif

TEST_F(MeiboOutputs, CommandLineTellsWhatWentWrongByItsStatus) {
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--csv", "X", "--on", "2025-02-29"}, 2, "「2025-02-29」は日付"},
        {{"--pdf", "X", "--view", "敬老"}, 2, "「敬老」という表示はありません"},
        {{"--pdf"}, 2, "--pdf の後に値がありません"},
        {{"--csv", "X", "--sort", "1"}, 2, "「--sort」というオプションはありません"},
        {{"--csv", "X", "a", "b"}, 2, "名簿の指定が多すぎます"},
        {{"--csv", "X", "missing.txt"}, 1, "missing.txt"},
        {{"--csv", "no/such/folder/x.csv"}, 1, "x.csv」を保存できません"},
    };
    for (const auto& c : cases) {
        int status = 0;
        try {
            status = run(c.args);
        } catch (const meibo::UsageError& e) {
            status = 2;
            err = e.what();
        }
        EXPECT_EQ(status, c.status) << c.args[0];
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}

#ifndef _WIN32
// The print dialog's page range: only page 2, with its own foot.
TEST_F(MeiboOutputs, PrintsThePagesTheDialogChose) {
    meibo_testing::ScriptedBoxes boxes;
    boxes.printTo = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(folder.file("p.pdf")));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        return true;
    };
    meibo::MeiboWindow window({&boxes, &clock, reg, folder.path()});
    window.findChild<QAction*>(QStringLiteral("print"))->trigger();
    ASSERT_TRUE(boxes.errors.empty()) << boxes.errors[0];
    const std::vector<std::string> text = pages(folder.file("p.pdf"));
    ASSERT_EQ(text.size(), 1u);
    EXPECT_NE(text[0].find("2 / 3"), std::string::npos) << text[0];
}
#endif

} // namespace
