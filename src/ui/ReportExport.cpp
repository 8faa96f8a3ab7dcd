#include "ui/ReportExport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "core/output_text.h"
#include "core/safe_write.h"
#include "ui/ReportModel.h"

namespace tavrin::ui {

namespace {

QString CsvField(QString field) {
  field = QString::fromStdString(NeutraliseCsvCell(field.toStdString()));
  if (!field.contains(',') && !field.contains('"') && !field.contains('\r') && !field.contains('\n')) return field;
  field.replace('"', "\"\"");
  return '"' + field + '"';
}

}  // namespace

QString ReportAsTsv(const ReportModel& model, const std::vector<int>& rows) {
  QString text = ReportModel::Captions().join('\t') + '\n';
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < ReportModel::kColumnCount; ++column) {
      // A tab or line break inside a cell would split it.
      cells << model.CellText(row, column).replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
    }
    text += cells.join('\t') + '\n';
  }
  return text;
}

QByteArray ReportAsCsv(const ReportModel& model, const std::vector<int>& rows) {
  QStringList lines;
  QStringList header;
  for (const QString& caption : ReportModel::Captions()) header << CsvField(caption);
  lines << header.join(',');
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < ReportModel::kColumnCount; ++column) cells << CsvField(model.CellText(row, column));
    lines << cells.join(',');
  }
  return QByteArray("\xEF\xBB\xBF") + (lines.join("\r\n") + "\r\n").toUtf8();
}

QByteArray ReportAsJson(const ReportModel& model, const std::vector<int>& rows) {
  QJsonArray array;
  for (const int row : rows) {
    QJsonObject object;
    for (int column = 0; column < ReportModel::kColumnCount; ++column) {
      object.insert(ReportModel::Captions()[column], model.CellText(row, column));
    }
    array.append(object);
  }
  return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error) {
  const std::optional<std::string> failure =
      WriteFileSafely(QFile::encodeName(path).toStdString(),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (failure) error = QString::fromStdString(*failure);
  return !failure;
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& fileName, const QString& filter,
                        const QString& suffix) {
  static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QFileDialog dialog(parent, title, QDir(folder).filePath(fileName), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = dialog.selectedFiles().first();
  folder = QFileInfo(path).absolutePath();
  return path;
}

}  // namespace tavrin::ui
