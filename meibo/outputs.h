#pragma once

#include "core/meibo.h"

#include <QFont>

#include <string>

class QPrinter;

// What the window and its command line write: the rows shown, in their order, as CSV, on
// printed pages and as a PDF.
namespace meibo {

// The CSV of the rows shown: the header and each record's row exactly as
// `nenrei-csv export --more --on` the as-of date writes them.
std::string csvText(const core::MeiboTable& table);

// Replaces the file at `path` with `bytes`, whole or not at all (storage/small_file.h).
// Throws storage::FileError naming the file and the reason when it cannot be written.
void saveFile(const std::string& path, const std::string& bytes);

// A4, portrait or landscape, with the margins the pages are laid out for.
void setUpPrinter(QPrinter& printer, bool landscape);

// Paints the rows shown on the printer's pages (those of its page range, when one is set):
// at the head of each page the title, the as-of date and `conditions`, then the column
// headings; at its foot 「1 / 3」. Gives the number of pages of the whole table.
int printTable(QPrinter& printer, const core::MeiboTable& table, const std::string& conditions);

// The same pages as a PDF file, without any printer or dialog. Throws platform::UserError
// naming the file when it cannot be written.
void writePdf(const std::string& path, const core::MeiboTable& table, const std::string& conditions,
              bool landscape);

// The Japanese font of the printed pages: IPA Gothic on Linux, a Japanese font of the
// system on Windows.
QFont printFont();

} // namespace meibo
