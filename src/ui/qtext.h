// Where the window meets the core's text. The core, its data files and the
// libraries under the window hold GBK byte strings; the window holds Qt
// strings. Every value crosses here, whole and typed: a field's text on its
// way into the core, a candidate, a pane line, a report cell, an advice or a
// source on their way out, each in the form a page shows it. The pages and
// models never convert a text themselves.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/text.h"
#include "core/poem_phrases.h"

class QComboBox;
class QLineEdit;
class QModelIndex;
class QPlainTextEdit;
class QWidget;

namespace tavrin {
struct Candidate;
struct Favourite;
struct ConventionsSection;
struct HourField;
struct NameReport;
struct NameScore;
struct NamingSession;
struct NamingServices;
struct ChildNeeds;
struct DataStores;
struct BirthChartNotes;
struct TermDayNote;
struct ReportRow;
struct FamilyWishes;
class MessageBoxes;
class RunPresentation;
class Pane;
enum class Element;
enum class Origin : unsigned char;
namespace advice {
struct Advice;
class AdviceTables;
}  // namespace advice
namespace places {
class PlaceTable;
}
namespace sources {
class ClassicalLibrary;
class NameNotes;
struct NameSource;
}  // namespace sources
}  // namespace tavrin

namespace tavrin::ui {

// Plain texts, for the window's tests; the pages go through the typed values
// below.
QString FromGbk(std::string_view gbk);
QString FromGbk(const GbkText& gbk);
QString FromUtf8(const Utf8Text& utf8);
// Text typed by the user as GBK; a character that GBK cannot encode becomes "?".
std::string ToGbk(const QString& text);

// ---- Into the core ----

// The item data that marks the hour lists' last item, 时辰不详.
inline constexpr int kUnknownHourRole = 0x0100;  // Qt::UserRole

// A field's text as the core reads it; a character that GBK cannot encode
// becomes "?".
std::string CoreTextOf(const QLineEdit* field);
std::string CoreTextOf(const QComboBox* field);
std::string CoreTextOf(const QPlainTextEdit* field);
std::string CoreTextOf(const QModelIndex& cell);
// Keeps `core` the field's text as the core reads it, from now on, as the
// user edits it (for a field the core reads at every draw).
void KeepCoreText(QLineEdit* field, std::string& core);
// An hour combo box as an hour field: its text, or not known when the text
// is that of its item 时辰不详 (chosen or typed).
HourField HourFieldOf(const QComboBox* combo);
// The distinct double-byte characters of a typed text (Chinese characters
// and full-width marks), in the core's form, each once, in the order typed.
std::string CoreCharsOf(const QString& typed);
// The fields of the 家人心愿 row as the core reads them: the theme's name
// (empty: none), the 辈分字 and its place (1 or 2), the avoided characters
// and whether their sounds are avoided too, the sibling's name and sex.
struct WishesTyped {
  QString theme, kept;
  int keptAt = 1;
  QString avoided;
  bool avoidSounds = false;
  QString sibling;
  bool siblingFemale = false;
};
FamilyWishes WishesOf(const WishesTyped& typed);
// The names of the themes of meaning, in the tables' order.
QStringList ThemeNamesOf(const advice::AdviceTables& tables);
// The wishes in a parent's words (WishesSentence).
QString WishesSentenceOf(const FamilyWishes& wishes);
// The length in the core's bytes of the first `offset` characters of a line
// the window shows.
std::size_t CoreOffsetOf(const QString& line, int offset);

// ---- Out of the core ----

QString PageCaption(Origin origin);
QString UnknownHourCaption();
// What start-up has to tell the user: one line per required file that failed.
QStringList StartupMessagesOf(const DataStores& stores);
QString ElementCaption(Element element);
QString NameOf(const Candidate& candidate);
QString NameOf(const NameReport& report);
QString SurnameOf(const NamingSession& session);
QString ProgressOf(const RunPresentation& presentation);
QString DrawCapNoteOf(const NamingSession& session);
// Written line `line` of a pane.
QString LineOf(const Pane& pane, std::size_t line);
QStringList LinesOf(const ConventionsSection& section);
// A cell of the report's row, as the report exports it.
QString CellOf(const ReportRow& row, std::size_t column);
// The grid lines of a score, each ended by `lineEnd`.
QString GridLinesOf(const NameScore& score, std::string_view lineEnd);
// The boxes that show the core's messages over `parent`.
std::unique_ptr<MessageBoxes> MessageBoxesOver(QWidget* parent);

// The poem table of poetry.db.
struct PoemTableView {
  QStringList columns;
  QList<QStringList> rows;
  std::vector<bool> cut;  // a text of the row was cut
  int contentColumn = -1;
};
// The table, or false with `error` set.
bool ReadPoemTable(const std::string& path, PoemTableView& view, QString& error);

// A name's advice as 精选 shows it.
struct AdviceView {
  struct Warning {
    QString text;
    bool serious = false;
  };
  struct Char {
    QString ch;
    QString meaning;  // the Chinese meaning; empty when the table has none
    QString gloss;    // the English gloss, shown under it, or empty
    QStringList words;
  };
  struct Reason {
    int points = 0;
    QString text;
  };
  QString given;        // the given name's characters
  QString pairMeaning;  // empty unless the given name is a word
  QString bankMeaning;  // empty unless the name bank says what the name means
  std::vector<Warning> warnings;
  std::vector<Char> chars;  // in the order of advice.given
  std::vector<Reason> reasons;
};
AdviceView ViewOf(const advice::Advice& advice);

// One of a poem's own names (core/poem_phrases.h) as the poetry page lists it.
struct PoemPhraseView {
  QString name;  // the full name
  int recommend = 0;
  QString line;  // the poem's line it stands in
  AdviceView advice;
};
std::vector<PoemPhraseView> ViewsOf(const std::vector<PoemPhrase>& phrases);
// The poem on the poetry page as the core reads its phrases: the text of the
// middle pane, and the title, author and collection of the poem selected
// when the text is still that poem's (none for a poem typed in).
PoemOfPhrases PoemOfPage(const QString& text, const QString& shownText, const QString& title, const QString& author,
                         const QString& collection);

// What the baby needs of a name: the sentence (NeedsSentence), then, smaller,
// how the chart's two readings differ (ReadingsLine). Empty without a chart.
struct NeedsView {
  QString sentence;
  QString readings;
  bool IsEmpty() const { return sentence.isEmpty(); }
};
NeedsView NeedsViewOf(const ChildNeeds& needs);
// Which reading of the chart a run's pages follow, for the pages that show
// the other one. `settings`: the short form of what the baby needs, for the
// line under 姓名设置's summary pane, whose "八字中X多" lines count the
// characters; `settingsTip`: the whole sentence and the readings line.
// `radical`: over 部首有五行, which draws on the missing element (缺什么补什么),
// how that stands against the day master's reading. All empty without a chart.
struct ReadingHintsView {
  QString settings;
  QString settingsTip;
  QString radical;
};
ReadingHintsView ReadingHintsOf(const ChildNeeds& needs);
// The elements of a judged name's given characters and their fit, for the
// head of its details: 五行：悦（金）书（金），不合喜用. Empty for a name not
// judged by elements.
QString FitLineOf(const advice::Advice& advice, const NamingServices& services);

// ---- The birthplace and the chart's notes ----

// The provinces of the place table in its order, and the cities of one.
QStringList ProvincesOf(const places::PlaceTable& table);
QStringList CitiesOf(const places::PlaceTable& table, const QString& province);
// The longitude of a city; none when the table has no such place.
std::optional<double> LongitudeOf(const places::PlaceTable& table, const QString& province, const QString& city);
// How the chart was read and what it is unsure of, a line each: without the
// hour (when `needs` is given), how its favourable elements hold over the
// twelve double hours; then the true solar time at `place` (a city, may be
// empty) and the solar term's day (ChartNoteLines).
QStringList ChartNotesOf(const BirthChartNotes& notes, const QString& place, const ChildNeeds* needs);
// What the choice of a term's side says: the term, its moment and the month
// (on 立春 also the year) pillars before and after it.
QString TermChoiceTipOf(const TermDayNote& term);

// A line of the classical library a given name comes from.
struct SourceView {
  QString line, title, author, collection;
  QString shortForm;           // 《title》author：line
  std::vector<int> positions;  // the name's characters in the line, from 1
};
SourceView ViewOf(const sources::NameSource& source);
// What the characters of a full name mean, a line each (the pair's word first).
QStringList MeaningsOf(sources::NameNotes& notes, const std::string& fullName);

// One text of the classical library, as a search finds it.
struct LibraryEntryView {
  qint64 id = 0;
  QString title, author, collection;
};
std::vector<LibraryEntryView> SearchLibrary(sources::ClassicalLibrary& library, const QString& text,
                                            const QString& collection);
QString ContentOf(sources::ClassicalLibrary& library, qint64 id);
QStringList CollectionsOf(sources::ClassicalLibrary& library);

// The lines of `poem` that the given name of `name` was drawn from (see
// sources::LinesOfName), and the given name's characters.
struct NameLinesView {
  QString given;
  QStringList lines;
};
NameLinesView NameLinesOf(const advice::AdviceTables& tables, const QString& name, const QString& poem);

// ---- 收藏 ----

// A favourite's texts as 收藏 shows them: the name, the note, where it came
// from (the page or generator, and the poem), and its hour ("7时", 时辰不详).
struct FavouriteView {
  QString name, note, origin, poem, hour;
};
FavouriteView ViewOf(const Favourite& favourite);
// A note typed in 收藏, as the favourite keeps it; a character that GBK
// cannot encode becomes "?".
GbkText KeptNoteOf(const QString& typed);
// Why the core or the favourites refused a name or failed: the text of its
// error, or a refusal it gave.
QString MessageOf(const std::exception& error);
QString MessageOf(std::string_view why);

}  // namespace tavrin::ui
