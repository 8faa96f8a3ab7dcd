// The report's rows as text for the clipboard and as CSV and JSON files.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QWidget;

namespace tavrin::ui {

class ReportModel;

// Tab-separated, a header line of the captions first, one line per row
// (rows are the model's row numbers, in the order to write them).
QString ReportAsTsv(const ReportModel& model, const std::vector<int>& rows);
// UTF-8 with a byte-order mark, CR LF line ends, fields quoted as RFC 4180
// asks: a field holding a comma, a quote, a CR or an LF is put in quotes and
// its quotes are doubled. A field a spreadsheet would take for a formula
// gets an apostrophe in front (core/output_text.h).
QByteArray ReportAsCsv(const ReportModel& model, const std::vector<int>& rows);
// An array of objects keyed by the column captions, UTF-8.
QByteArray ReportAsJson(const ReportModel& model, const std::vector<int>& rows);

// Writes the bytes to the file at `path` atomically (core/safe_write.h): the
// file holds either its old content or all of the new, and a target that is
// no regular file is refused. On failure returns false and the reason in `error`.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error);

// Asks where to save a file: the dialog opens in the folder of the last
// export (the documents folder at first) with `fileName` proposed. Empty when
// the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& fileName, const QString& filter,
                        const QString& suffix);

}  // namespace tavrin::ui
