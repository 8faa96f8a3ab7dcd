#include "ui/qtext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QModelIndex>
#include <QPlainTextEdit>
#include <QVariant>
#include <algorithm>

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "analysis/conventions_section.h"
#include "calendar/birth_pillars.h"
#include "chars/elements.h"
#include "chars/encoding.h"
#include "core/birth_inputs.h"
#include "core/candidate.h"
#include "core/child.h"
#include "core/naming_io.h"
#include "core/naming_model.h"
#include "core/pane.h"
#include "core/poetry_db.h"
#include "core/report.h"
#include "core/services.h"
#include "core/startup.h"
#include "core/wishes.h"
#include "favourites/favourite.h"
#include "places/places.h"
#include "scoring/score.h"
#include "sources/classical_library.h"
#include "sources/name_notes.h"
#include "ui/MessageBox.h"

namespace tavrin::ui {

static_assert(kUnknownHourRole == Qt::UserRole);

QString FromGbk(std::string_view gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }
QString FromGbk(const GbkText& gbk) { return FromUtf8(tavrin::ToUtf8(gbk)); }
QString FromUtf8(const Utf8Text& utf8) {
  return QString::fromUtf8(utf8.Bytes().data(), static_cast<qsizetype>(utf8.Bytes().size()));
}

std::string ToGbk(const QString& text) {
  std::string gbk;
  // Character by character, so that one character outside GBK costs only
  // itself. It becomes "?", as the system's own conversion to the GBK code
  // page makes it: dropping it would turn "1😀" into the valid "1" and a
  // field's checks would pass a text the user did not type.
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const auto piece = Utf8ToGbk(text.mid(i, len).toStdString());
    gbk += piece ? *piece : "?";
    i += len;
  }
  return gbk;
}

namespace {

template <typename Text>
QStringList ListFromGbk(const std::vector<Text>& texts) {
  QStringList list;
  for (const Text& text : texts) list << FromGbk(text);
  return list;
}

class WindowMessages final : public MessageBoxes {
 public:
  explicit WindowMessages(QWidget* parent) : parent_(parent) {}
  void Show(std::string_view text) override { ShowMessage(parent_, FromGbk(text)); }

 private:
  QWidget* parent_;
};

}  // namespace

std::string CoreTextOf(const QLineEdit* field) { return ToGbk(field->text()); }
std::string CoreTextOf(const QComboBox* field) { return ToGbk(field->currentText()); }
std::string CoreTextOf(const QPlainTextEdit* field) { return ToGbk(field->toPlainText()); }
std::string CoreTextOf(const QModelIndex& cell) { return ToGbk(cell.data().toString()); }

void KeepCoreText(QLineEdit* field, std::string& core) {
  core = ToGbk(field->text());
  QObject::connect(field, &QLineEdit::textChanged, field, [&core](const QString& text) { core = ToGbk(text); });
}

HourField HourFieldOf(const QComboBox* combo) {
  const QString text = combo->currentText();
  const int item = combo->findText(text);
  return {ToGbk(text), item >= 0 && combo->itemData(item, kUnknownHourRole).toBool()};
}

std::string CoreCharsOf(const QString& typed) {
  std::string chars;
  for (const QChar c : typed) {
    const std::string gbk = ToGbk(QString(c));
    if (gbk.size() == 2 && chars.find(gbk) == std::string::npos) chars += gbk;
  }
  return chars;
}

FamilyWishes WishesOf(const WishesTyped& typed) {
  FamilyWishes wishes;
  wishes.theme = ToGbk(typed.theme);
  if (const std::string kept = CoreCharsOf(typed.kept); !kept.empty()) {
    wishes.kept.push_back({kept.substr(0, 2), typed.keptAt == 2 ? 2 : 1});
  }
  wishes.avoided = CoreCharsOf(typed.avoided);
  wishes.avoidSounds = typed.avoidSounds && !wishes.avoided.empty();
  // The sibling's characters as typed, a repeated one too (欣欣).
  for (const QChar c : typed.sibling) {
    if (const std::string gbk = ToGbk(QString(c)); gbk.size() == 2) wishes.sibling += gbk;
  }
  wishes.siblingSex = SexOf(typed.siblingFemale);
  return wishes;
}

QStringList ThemeNamesOf(const advice::AdviceTables& tables) {
  QStringList names;
  for (const advice::Theme& theme : tables.Themes()) names << FromGbk(theme.name);
  return names;
}

QString WishesSentenceOf(const FamilyWishes& wishes) { return FromGbk(WishesSentence(wishes)); }

std::size_t CoreOffsetOf(const QString& line, int offset) { return ToGbk(line.left(offset)).size(); }

QString PageCaption(Origin origin) { return FromGbk(OriginCaption(origin)); }
QString UnknownHourCaption() { return FromGbk(UnknownHourText()); }

QStringList StartupMessagesOf(const DataStores& stores) {
  QStringList messages;
  for (const LoadFailure& failure : stores.failures) {
    messages << QObject::tr("无法打开文件“%1”:%2").arg(FromUtf8(failure.path), FromUtf8(failure.reason));
  }
  return messages;
}
QString ElementCaption(Element element) { return FromGbk(ElementChar(element)); }
QString NameOf(const Candidate& candidate) { return FromGbk(candidate.fullName); }
QString NameOf(const NameReport& report) { return FromGbk(report.name); }
QString SurnameOf(const NamingSession& session) { return FromGbk(session.surname); }
QString ProgressOf(const RunPresentation& presentation) { return FromGbk(presentation.Progress()); }
QString DrawCapNoteOf(const NamingSession& session) { return FromGbk(DrawCapSummary(session)); }
QString LineOf(const Pane& pane, std::size_t line) { return FromGbk(pane.Lines()[line]); }
QStringList LinesOf(const ConventionsSection& section) { return ListFromGbk(ConventionsLines(section)); }
QString CellOf(const ReportRow& row, std::size_t column) { return FromGbk(row.Cell(column)); }
QString GridLinesOf(const NameScore& score, std::string_view lineEnd) {
  return FromGbk(FormatScoreText(score, lineEnd));
}

std::unique_ptr<MessageBoxes> MessageBoxesOver(QWidget* parent) { return std::make_unique<WindowMessages>(parent); }

bool ReadPoemTable(const std::string& path, PoemTableView& view, QString& error) {
  std::string why;
  const std::optional<PoemTable> table = QueryPoems(path, why);
  if (!table) {
    error = FromGbk(why);
    return false;
  }
  view.columns = ListFromGbk(table->columns);
  view.rows.clear();
  for (const std::vector<std::string>& row : table->rows) view.rows << ListFromGbk(row);
  view.cut = table->cut;
  view.contentColumn = table->Column("content");
  return true;
}

NeedsView NeedsViewOf(const ChildNeeds& needs) { return {FromGbk(NeedsSentence(needs)), FromGbk(ReadingsLine(needs))}; }

namespace {

QString ElementsOf(const std::vector<Element>& elements) { return FromGbk(ElementsText(elements)); }

// 日主丁火偏弱
QString DayMasterOf(const conventions::ChartStrength& s) {
  return QObject::tr("日主%1%2%3")
      .arg(FromGbk(s.dayMaster), ElementCaption(s.dayElement), s.strong ? QObject::tr("偏旺") : QObject::tr("偏弱"));
}

// What 精选 is ranked by, as the window's choice has it.
QString BestOrderOf(const ChildNeeds& needs) {
  switch (needs.wish) {
    case ElementWish::kChart:
      return QObject::tr("精选按喜用神排列");
    case ElementWish::kChosen:
      return QObject::tr("精选按您选的五行（%1）排列").arg(ElementsOf(needs.reading->favourable));
    case ElementWish::kIgnore:
      break;
  }
  return QObject::tr("精选不看五行");
}

QString SettingsHintOf(const ChildNeeds& needs) {
  const conventions::FavourableElements& chart = *needs.chartReading;
  // The summary pane's own words for the elements met more than once.
  QString many;
  for (Element e : kElementOrder) {
    if (needs.counts[e] > 1) many += QObject::tr("“八字中%1多”").arg(ElementCaption(e));
  }
  const QString liked = ElementsOf(chart.favourable);
  const QString dayMaster = DayMasterOf(chart.strength);
  QString head;
  switch (needs.wish) {
    case ElementWish::kChart:
      head = QObject::tr("宝宝喜%1（%2）").arg(liked, dayMaster);
      break;
    case ElementWish::kChosen:
      head = QObject::tr("宝宝本应喜%1（%2），名字按您选的%3")
                 .arg(liked, dayMaster, ElementsOf(needs.reading->favourable));
      break;
    case ElementWish::kIgnore:
      head = QObject::tr("宝宝喜%1（%2），您选了不看五行").arg(liked, dayMaster);
      break;
  }
  // 精选's order in short: the chosen elements are named in the head.
  const QString order = needs.wish == ElementWish::kChosen ? QObject::tr("精选按您选的五行排列") : BestOrderOf(needs);
  return QObject::tr("%1；%2是数五行字数的读法，%3").arg(head, many, order);
}

QString RadicalHintOf(const ChildNeeds& needs) {
  const conventions::FavourableElements& chart = *needs.chartReading;
  std::vector<Element> missing;
  for (Element e : kElementOrder) {
    if (needs.counts[e] == 0) missing.push_back(e);
  }
  const QString liked = ElementsOf(chart.favourable);
  QString text;
  if (missing.empty()) {
    text = QObject::tr("八字五行俱全，用不上“缺什么补什么”，本页没有名字；按日主强弱，宝宝喜%1。").arg(liked);
  } else if (missing.size() > 1) {
    text = QObject::tr("八字缺%1，不止缺一种，本页不按“缺什么补什么”取名；按日主强弱，宝宝喜%2。")
               .arg(ElementsOf(missing), liked);
  } else {
    const Element lacking = missing.front();
    const bool favoured =
        std::find(chart.favourable.begin(), chart.favourable.end(), lacking) != chart.favourable.end();
    text = favoured ? QObject::tr("本页按“缺什么补什么”（缺%1）取名；按日主强弱，宝宝喜%2，%1也合适，两种读法一致。")
                    : QObject::tr("本页按“缺什么补什么”（缺%1）取名；按日主强弱，宝宝喜%2，%1反而不宜多用。");
    text = text.arg(ElementCaption(lacking), liked);
  }
  return text + BestOrderOf(needs) + QObject::tr("。");
}

}  // namespace

ReadingHintsView ReadingHintsOf(const ChildNeeds& needs) {
  if (!needs.HasChart()) return {};
  const NeedsView whole = NeedsViewOf(needs);
  return {SettingsHintOf(needs), whole.sentence + '\n' + whole.readings, RadicalHintOf(needs)};
}

QStringList ProvincesOf(const places::PlaceTable& table) {
  QStringList provinces;
  for (const std::string& province : table.Provinces()) provinces << QString::fromStdString(province);
  return provinces;
}

QStringList CitiesOf(const places::PlaceTable& table, const QString& province) {
  QStringList cities;
  for (const std::string& city : table.CitiesOf(province.toStdString())) cities << QString::fromStdString(city);
  return cities;
}

std::optional<double> LongitudeOf(const places::PlaceTable& table, const QString& province, const QString& city) {
  const places::Place* place = table.Find(province.toStdString(), city.toStdString());
  if (!place) return std::nullopt;
  return place->longitude;
}

QStringList ChartNotesOf(const BirthChartNotes& notes, const QString& place, const ChildNeeds* needs) {
  QStringList lines;
  if (needs) {
    if (const std::string hour = UnknownHourLine(*needs); !hour.empty()) lines << FromGbk(hour);
  }
  for (const std::string& line : ChartNoteLines(notes, ToGbk(place))) lines << FromGbk(line);
  return lines;
}

QString TermChoiceTipOf(const TermDayNote& term) {
  const auto pillars = [](const std::string& year, const std::string& month) {
    return (year.empty() ? QString() : QObject::tr("%1年 ").arg(FromGbk(year))) +
           QObject::tr("%1月").arg(FromGbk(month));
  };
  return QObject::tr(
             "出生当天 %1:%2 交%3：交节前出生为%4，交节后出生为%5。\n"
             "说不准是在交节之前还是之后出生；家里知道的话请选上，默认按节后。")
      .arg(term.termHour)
      .arg(term.termMinute, 2, 10, QChar('0'))
      .arg(FromGbk(term.termName), pillars(term.yearBefore, term.monthBefore),
           pillars(term.yearAfter, term.monthAfter));
}

QString FitLineOf(const advice::Advice& a, const NamingServices& services) {
  if (a.fit == advice::ElementFit::kUnjudged) return {};
  QString chars;
  for (const advice::GivenChar& given : a.given) {
    const std::string element = services.elements.CharElement(given.ch);
    chars += FromGbk(given.ch) + (element.empty() ? QString() : "（" + FromGbk(element) + "）");
  }
  const QString verdict = a.fit == advice::ElementFit::kAll    ? QObject::tr("合喜用")
                          : a.fit == advice::ElementFit::kSome ? QObject::tr("一半合喜用")
                                                               : QObject::tr("不合喜用");
  return QObject::tr("五行：%1，%2").arg(chars, verdict);
}

AdviceView ViewOf(const advice::Advice& a) {
  AdviceView view;
  for (const advice::Warning& w : a.warnings)
    view.warnings.push_back({FromGbk(w.text), w.severity == advice::Severity::kSerious});
  for (const advice::GivenChar& g : a.given) {
    AdviceView::Char c{FromGbk(g.ch), {}, {}, {}};
    if (g.facts) {
      c.meaning = FromGbk(g.facts->meaning);
      c.gloss = FromGbk(g.facts->gloss);
      c.words = ListFromGbk(g.facts->words);
    }
    view.given += c.ch;
    view.chars.push_back(std::move(c));
  }
  view.pairMeaning = FromGbk(a.pairMeaning);
  if (a.bank) view.bankMeaning = FromGbk(a.bank->meaning);
  for (const advice::Reason& r : a.reasons) view.reasons.push_back({r.points, FromGbk(r.text)});
  return view;
}

std::vector<PoemPhraseView> ViewsOf(const std::vector<PoemPhrase>& phrases) {
  std::vector<PoemPhraseView> views;
  for (const PoemPhrase& phrase : phrases) {
    views.push_back(
        {FromGbk(phrase.advice.name), phrase.advice.recommend, FromGbk(phrase.source.line), ViewOf(phrase.advice)});
  }
  return views;
}

PoemOfPhrases PoemOfPage(const QString& text, const QString& shownText, const QString& title, const QString& author,
                         const QString& collection) {
  PoemOfPhrases poem;
  poem.text = ToGbk(text);
  if (text == shownText) {
    poem.title = ToGbk(title);
    poem.author = ToGbk(author);
    poem.collection = ToGbk(collection);
  }
  return poem;
}

SourceView ViewOf(const sources::NameSource& source) {
  return {FromGbk(source.line),
          FromGbk(source.title),
          FromGbk(source.author),
          FromGbk(source.collection),
          FromGbk(sources::ShortSource(source)),
          source.positions};
}

QStringList MeaningsOf(sources::NameNotes& notes, const std::string& fullName) {
  return ListFromGbk(notes.Meanings(GbkText(fullName)));
}

std::vector<LibraryEntryView> SearchLibrary(sources::ClassicalLibrary& library, const QString& text,
                                            const QString& collection) {
  std::vector<LibraryEntryView> views;
  for (const sources::LibraryEntry& entry : library.Search(GbkText(ToGbk(text)), GbkText(ToGbk(collection)))) {
    views.push_back({entry.id, FromGbk(entry.title), FromGbk(entry.author), FromGbk(entry.collection)});
  }
  return views;
}

QString ContentOf(sources::ClassicalLibrary& library, qint64 id) {
  return FromGbk(library.Content(id).value_or(GbkText()));
}

QStringList CollectionsOf(sources::ClassicalLibrary& library) { return ListFromGbk(library.Collections()); }

NameLinesView NameLinesOf(const advice::AdviceTables& tables, const QString& name, const QString& poem) {
  const QString given = FromGbk(tables.GivenName(ToGbk(name)));
  QStringList lines;
  for (const std::string& line : sources::LinesOfName(poem.toStdString(), given.toStdString())) {
    lines << QString::fromStdString(line);
  }
  return {given, lines};
}

FavouriteView ViewOf(const Favourite& favourite) {
  return {FromGbk(favourite.name), FromGbk(favourite.note), FromGbk(favourite.origin), FromGbk(favourite.poem),
          FromGbk(HourCaption(favourite.hour))};
}

GbkText KeptNoteOf(const QString& typed) { return GbkText(ToGbk(typed)); }

QString MessageOf(const std::exception& error) { return FromGbk(error.what()); }
QString MessageOf(std::string_view why) { return FromGbk(why); }

}  // namespace tavrin::ui
