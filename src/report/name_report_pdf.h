// A printable one-page A4 report of an analysed name: the name large with
// its pinyin and traditional form, the four pillars, the five elements of
// the birth chart, of the name and of both as bars, the five grids with
// their numerology lines, and the score. CJK text is embedded in the file.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analyse_name.h"
#include "sources/name_notes.h"

class QPagedPaintDevice;

namespace tavrin {
struct ChildNeeds;
}

namespace tavrin::report {

// What the given name's characters mean and the line it comes from, shown
// under the name when known.
struct NameMeaning {
  std::vector<GbkText> meanings;  // a line a character (sources::MeaningLine), each maybe with its gloss line
  GbkText source;                 // 《title》author：line, or empty
  GbkText collection;
};

// The meanings and the best source of a full name; the English glosses as
// second lines unless `glosses` says none (a narrow cell).
NameMeaning MeaningOf(sources::NameNotes& notes, const std::string& fullName,
                      sources::NameNotes::Glosses glosses = sources::NameNotes::Glosses::kSecondLine);

// Writes the PDF to `path` (bytes, as the system takes them) through
// base/file_write.h: the file holds its old content, or none, unless the
// whole report was written. On failure returns false and the reason.
// Needs a QGuiApplication (offscreen is enough).
// `needs`, when given, is the reading of the chart the names are judged by:
// what the baby needs stands under the pillars. How the chart was read
// (report.chartNotes) follows it, with `placeName` (GBK, the birth's city,
// may be empty) in the line of the true solar time.
bool WriteNameReportPdf(const NameReport& report, const std::string& path, QString& error,
                        const NameMeaning* meaning = nullptr, const ChildNeeds* needs = nullptr,
                        std::string_view placeName = {});

// A kept name as a comparison shows it: its analysis, and what the user and
// the advice said about it (empty when there is nothing).
struct ComparedName {
  NameReport report;  // with its 通行算法 section when it was read
  QString sex;
  QString recommend;
  QString warnings;
  QString note;
  NameMeaning meaning;
  // The family's votes when they voted: "★4.3 · 3票", and one line a vote
  // (the member, the stars and the comment).
  QString familyScore;
  QString familyVotes;
};

// The comparison table: the first row the names, then one row per fact.
struct ComparisonRow {
  QString label;
  std::vector<QString> cells;  // one per name
};
std::vector<ComparisonRow> ComparisonRows(const std::vector<ComparedName>& names);

// Several names in one PDF: the first page their comparison table, then one
// page each as WriteNameReportPdf draws it.
bool WriteComparisonPdf(const std::vector<ComparedName>& names, const std::string& path, QString& error);
// The same pages on a printer (any paged device), each A4 page scaled into
// the device's page; false and the reason when painting cannot start.
bool PrintComparison(const std::vector<ComparedName>& names, QPagedPaintDevice& device, QString& error);

}  // namespace tavrin::report
