#include "ui/NameNotesText.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

#include "sources/name_notes.h"
#include "ui/qtext.h"

namespace tavrin::ui {

QString SourceCellText(sources::NameNotes* notes, const std::string& fullName) {
  const sources::NameSource* source = notes ? notes->BestSource(GbkText(fullName)) : nullptr;
  return source ? ViewOf(*source).shortForm : QString();
}

QString NameToolTip(sources::NameNotes* notes, const std::string& fullName) {
  if (!notes) return {};
  QStringList lines = MeaningsOf(*notes, fullName);
  if (const sources::NameSource* source = notes->BestSource(GbkText(fullName))) {
    const SourceView view = ViewOf(*source);
    lines << QCoreApplication::translate("tavrin::ui", "出处：%1（%2）").arg(view.shortForm, view.collection);
  }
  return lines.join('\n');
}

QString SourceHtml(const sources::NameSource& found) {
  const SourceView source = ViewOf(found);
  // Positions count the line's characters from 1; every GBK character is one
  // UTF-16 unit.
  const QString& line = source.line;
  QString marked;
  for (int i = 0; i < line.size(); ++i) {
    const QString ch = QString(line[i]).toHtmlEscaped();
    const bool named = std::find(source.positions.begin(), source.positions.end(), i + 1) != source.positions.end();
    marked += named ? "<b style='color:#b03000'>" + ch + "</b>" : ch;
  }
  return QString("%1<br>《%2》%3 · %4")
      .arg(marked, source.title.toHtmlEscaped(), source.author.toHtmlEscaped(), source.collection.toHtmlEscaped());
}

}  // namespace tavrin::ui
