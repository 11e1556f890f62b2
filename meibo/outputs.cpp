#include "meibo/outputs.h"

#include "core/era.h"
#include "csv/csv_tool.h"
#include "forms/ui/layout.h"
#include "platform/user_error.h"
#include "storage/small_file.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>

namespace meibo {

using forms::ui::q;

namespace {

constexpr double kPointSize = 9;
constexpr double kSmallestPointSize = 5;
constexpr std::size_t kColumns = core::kMeiboColumnCount;

core::MeiboColumn columnAt(std::size_t c) {
    return static_cast<core::MeiboColumn>(c);
}

// The pages of one table: fonts, column widths and rows per page worked out for the
// printer's paint area, then each page painted on request.
class Pages {
public:
    Pages(QPrinter& printer, const core::MeiboTable& table, const std::string& conditions)
        : printer_(printer), table_(table), conditions_(q(conditions)),
          area_(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()) {
        font_ = printFont();
        measure();
        if (total_ > area_.width()) {
            font_.setPointSizeF(std::max(kSmallestPointSize, kPointSize * area_.width() / total_));
            measure();
        }
        // The room left over goes to the columns alike.
        if (total_ < area_.width())
            for (double& w : widths_)
                w += (area_.width() - total_) / kColumns;
        titleFont_ = font_;
        titleFont_.setPointSizeF(font_.pointSizeF() * 1.6);
        titleFont_.setBold(true);
        headingFont_ = font_;
        headingFont_.setBold(true);
        const QFontMetricsF fm(font_, &printer_);
        rowHeight_ = fm.height() * 1.35;
        headHeight_ = QFontMetricsF(titleFont_, &printer_).height() * 1.2 + rowHeight_ * 2;
        footHeight_ = rowHeight_ * 1.5;
        const double room = area_.height() - headHeight_ - footHeight_;
        perPage_ = std::max(1, static_cast<int>(std::floor(room / rowHeight_)));
        const auto rows = static_cast<int>(table_.shown().size());
        pages_ = std::max(1, (rows + perPage_ - 1) / perPage_);
    }

    int count() const { return pages_; }

    void paint(QPainter& p, int page) {
        const double pad = padding();
        // Head: the title and the as-of date, the conditions and the count.
        double y = 0;
        const platform::Date& on = table_.asOf();
        p.setFont(titleFont_);
        const double titleHeight = QFontMetricsF(titleFont_, &printer_).height() * 1.2;
        QRectF line(0, y, area_.width(), titleHeight);
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("名簿表"));
        p.setFont(font_);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   q("基準日 " + core::eraDateText(on) + "（" + core::dateText(on) + "）"));
        y += titleHeight;
        line = QRectF(0, y, area_.width(), rowHeight_);
        const QString count = q(core::countText(table_.total(), table_.shown().size()));
        const QFontMetricsF fm(font_, &printer_);
        const double countWidth = fm.horizontalAdvance(count) + pad * 4;
        p.drawText(line.adjusted(0, 0, -countWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(QStringLiteral("条件: ") + conditions_, Qt::ElideRight,
                                 line.width() - countWidth));
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, count);
        y += rowHeight_;

        // The column headings, then the rows of this page.
        p.setFont(headingFont_);
        paintRow(p, y, [](std::size_t c) { return q(core::meiboHeading(columnAt(c))); });
        y += rowHeight_;
        p.setPen(QPen(Qt::black, printer_.resolution() / 100.0));
        p.drawLine(QPointF(0, y), QPointF(area_.width(), y));
        p.setFont(font_);
        p.setPen(QPen(Qt::black));
        const auto& shown = table_.shown();
        const auto first = static_cast<std::size_t>(page) * static_cast<std::size_t>(perPage_);
        const auto last = std::min(shown.size(), first + static_cast<std::size_t>(perPage_));
        for (std::size_t r = first; r < last; ++r, y += rowHeight_)
            paintRow(p, y, [&](std::size_t c) { return q(table_.cell(shown[r], columnAt(c))); });

        p.drawText(QRectF(0, area_.height() - footHeight_, area_.width(), footHeight_),
                   Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("%1 / %2").arg(page + 1).arg(pages_));
    }

private:
    double padding() const { return QFontMetricsF(font_, &printer_).averageCharWidth() * 0.6; }

    template <class Text> void paintRow(QPainter& p, double y, Text text) {
        const QFontMetricsF fm(p.font(), &printer_);
        const double pad = padding();
        double x = 0;
        for (std::size_t c = 0; c < kColumns; ++c) {
            const QRectF cell(x + pad, y, widths_[c] - 2 * pad, rowHeight_);
            const Qt::Alignment side =
                core::meiboNumeric(columnAt(c)) ? Qt::AlignRight : Qt::AlignLeft;
            p.drawText(cell, static_cast<int>((side | Qt::AlignVCenter).toInt()),
                       fm.elidedText(text(c), Qt::ElideRight, cell.width()));
            x += widths_[c];
        }
    }

    // Each column as wide as its widest cell or heading.
    void measure() {
        QFont heading = font_;
        heading.setBold(true);
        const QFontMetricsF fm(font_, &printer_);
        const QFontMetricsF headingMetrics(heading, &printer_);
        const double pad = padding();
        for (std::size_t c = 0; c < kColumns; ++c)
            widths_[c] = headingMetrics.horizontalAdvance(q(core::meiboHeading(columnAt(c))));
        for (std::size_t record : table_.shown())
            for (std::size_t c = 0; c < kColumns; ++c)
                widths_[c] =
                    std::max(widths_[c], fm.horizontalAdvance(q(table_.cell(record, columnAt(c)))));
        total_ = 0;
        for (double& w : widths_)
            total_ += (w += 2 * pad);
    }

    QPrinter& printer_;
    const core::MeiboTable& table_;
    QString conditions_;
    QRectF area_;
    QFont font_, titleFont_, headingFont_;
    std::array<double, kColumns> widths_{};
    double total_ = 0;
    double rowHeight_ = 0, headHeight_ = 0, footHeight_ = 0;
    int perPage_ = 1, pages_ = 1;
};

} // namespace

std::string csvText(const core::MeiboTable& table) {
    std::string text = "\xEF\xBB\xBF";
    csvtool::appendRow(text, csvtool::exportHeader(true));
    for (std::size_t record : table.shown())
        csvtool::appendRow(text, csvtool::exportRow(table.record(record), table.asOf(), true));
    return text;
}

void saveFile(const std::string& path, const std::string& bytes) {
    storage::replaceSmallFile(path, bytes);
}

void setUpPrinter(QPrinter& printer, bool landscape) {
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("名簿表"));
}

int printTable(QPrinter& printer, const core::MeiboTable& table, const std::string& conditions) {
    Pages pages(printer, table, conditions);
    // Pages 1 to N unless the print dialog chose a range.
    const int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int to = printer.toPage() > 0 ? std::min(printer.toPage(), pages.count()) : pages.count();
    QPainter painter;
    if (!painter.begin(&printer))
        throw platform::UserError("印刷を始められません。プリンターの設定を確かめてください。");
    for (int page = from; page < to; ++page) {
        if (page > from)
            printer.newPage();
        pages.paint(painter, page);
    }
    if (!painter.end())
        throw platform::UserError("印刷を終えられませんでした。");
    return pages.count();
}

void writePdf(const std::string& path, const core::MeiboTable& table, const std::string& conditions,
              bool landscape) {
    // Painted into a file of its own first, so that a failure never leaves half a PDF.
    QTemporaryDir work;
    if (!work.isValid())
        throw platform::UserError("PDF を作る一時フォルダーを作れません。");
    const QString pdf = work.filePath(QStringLiteral("meibo.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    setUpPrinter(printer, landscape);
    printTable(printer, table, conditions);
    QFile made(pdf);
    if (!made.open(QIODevice::ReadOnly))
        throw platform::UserError("PDF を作れませんでした。");
    const QByteArray bytes = made.readAll();
    saveFile(path, bytes.toStdString());
}

QFont printFont() {
    QFont font;
#ifdef _WIN32
    font.setFamilies({QStringLiteral("MS Gothic"), QStringLiteral("ＭＳ ゴシック"),
                      QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo"),
                      QStringLiteral("IPAGothic")});
#else
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
#endif
    font.setPointSizeF(kPointSize);
    return font;
}

} // namespace meibo
