#include "ui/NameTableModel.h"

namespace tavrin::ui {

NameTableModel::NameTableModel(const QStringList& captions, int sourceColumn, const NamingServices& services,
                               QObject* parent)
    : QAbstractTableModel(parent), captions_(captions), sourceColumn_(sourceColumn), services_(services) {}

void NameTableModel::SetNotes(sources::NameNotes* notes) {
  notes_ = notes;
  if (sourceColumn_ >= 0 && rowCount() > 0) {
    emit dataChanged(index(0, sourceColumn_), index(rowCount() - 1, sourceColumn_));
  }
}

int NameTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant NameTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < captions_.size()) {
    return captions_[section];
  }
  return {};
}

}  // namespace tavrin::ui
