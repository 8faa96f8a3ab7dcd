// What the table models of names (精选, 姓名报表, 收藏) share: fixed columns
// under their captions, the services that read a name aloud, and the name
// notes that fill a 出处 column and the names' tooltips.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

namespace tavrin {
struct NamingServices;
}
namespace tavrin::sources {
class NameNotes;
}

namespace tavrin::ui {

class NameTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Where sources and meanings come from (outlives the model); without, the
  // 出处 column and the tooltips stay empty.
  virtual void SetNotes(sources::NameNotes* notes);

  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 protected:
  // `captions` (one a column) and `services` must outlive the model;
  // `sourceColumn` is the 出处 column, -1 for none.
  NameTableModel(const QStringList& captions, int sourceColumn, const NamingServices& services, QObject* parent);

  const NamingServices& Services() const { return services_; }
  sources::NameNotes* Notes() const { return notes_; }

 private:
  const QStringList& captions_;
  const int sourceColumn_;
  const NamingServices& services_;
  sources::NameNotes* notes_ = nullptr;
};

}  // namespace tavrin::ui
