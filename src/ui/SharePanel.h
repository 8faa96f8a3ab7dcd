// 请家人一起选 on 收藏: 邀请家人 shares the kept names on the home network (or
// on this computer only) with a page the family opens on their phones, and
// shows its address as text and as a QR code; 停止分享 ends it, and so does
// closing the window. The family's votes are read back from the store while
// the window is open, as tallies, and the members who have voted are named.
//
// The server answers in threads of its own; the window only hands it the
// list and reads the votes (a look at their version each second, the votes
// themselves only when it changed).
#pragma once

#include <QFrame>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "share/shared_list.h"
#include "share/vote_book.h"

class QLabel;
class QPushButton;

namespace tavrin::share {
class ShareServer;
}

namespace tavrin::ui {

class SharePanel : public QFrame {
  Q_OBJECT

 public:
  // What the family sees now, made when a share starts and when the list changes.
  using ListMaker = std::function<share::SharedList()>;
  // Asks where to share among `addresses` (the first is the home network's
  // when there is one); empty when the user cancels.
  using AskAddress = std::function<QString(QWidget* parent, const QStringList& addresses)>;
  // Asks which of the members to remove; empty when the user cancels.
  using AskMember = std::function<QString(QWidget* parent, const QStringList& members)>;

  // `pageDir`: the folder of the family's page (index.html and the rest).
  explicit SharePanel(std::string pageDir, QWidget* parent = nullptr);
  ~SharePanel() override;

  // The favourites store the votes are kept in; "" when there is none (a
  // share then cannot start). Stops a share of another store.
  void SetStorePath(const std::string& path, bool readOnly);
  void SetListMaker(ListMaker maker) { makeList_ = std::move(maker); }
  void SetAskAddress(AskAddress ask) { askAddress_ = std::move(ask); }
  void SetAskMember(AskMember ask) { askMember_ = std::move(ask); }

  // The IPv4 addresses of this computer on its networks (up, not loopback),
  // then 127.0.0.1.
  static QStringList Addresses();
  // The kind of address the last share that started was on: "local" (this
  // computer alone), "network", or empty before the first.
  static QString LastWhere();
  // The index in `addresses` (as Addresses gives them) offered first: this
  // computer's when the last share was there, else the home network's.
  static int OfferedFirst(const QStringList& addresses, const QString& lastWhere);
  // 邀请家人: asks where (the kind of address of the last share first), then starts.
  bool Invite();
  // Shares on `address` (numeric); a fault is shown and false returned.
  bool Start(const QString& address, int port = 0);
  // 停止分享: the link dies at once.
  void Stop();
  bool Sharing() const;
  QString Url() const;  // empty when not sharing
  int Port() const;

  // 删去家人…: asks which member, then forgets them and their votes (a
  // name someone made up, a member counted twice).
  bool RemoveMember();

  // The list changed (a name kept, dropped or its note edited): the family
  // sees the new one.
  void ListChanged();
  // Reads the votes when their version moved (the timer calls it too).
  void ReadVotes();
  const share::Tallies& Tallies() const { return tallies_; }

 signals:
  // The tallies read are new.
  void talliesChanged();

 private:
  // The panel's buttons and labels, each with its object name.
  void MakeWidgets();
  // The state, address and members beside the QR code.
  void LayOut();
  void ShowState();
  void ShowMembers();
  void Fault(const QString& text);
  // Opens the vote book of the store; `create` makes its tables when missing.
  bool OpenBook(bool create);

  std::string pageDir_;
  std::string storePath_;
  bool readOnly_ = false;
  ListMaker makeList_;
  AskAddress askAddress_;
  AskMember askMember_;
  // The server reads the book: it is made after it and ended before it.
  std::unique_ptr<share::SqliteVoteBook> book_;
  std::unique_ptr<share::ShareServer> server_;
  share::Tallies tallies_;
  std::string shown_;       // the list the family's pages have, as the names' JSON
  std::int64_t seen_ = -1;  // the version of the votes read; -1 before the first read
  QTimer poll_;
  QPushButton* invite_ = nullptr;
  QPushButton* stop_ = nullptr;
  QLabel* state_ = nullptr;
  QLabel* address_ = nullptr;
  QLabel* qr_ = nullptr;
  QLabel* members_ = nullptr;
  QPushButton* removeMember_ = nullptr;
};

// The QR code of `text` (byte mode, medium error correction), `scale`
// pixels a module with a quiet zone of four modules; null when it cannot be
// made.
QImage QrCodeImage(const QByteArray& text, int scale);

// "★4.3 · 3票": the family's average and the number of votes on a name.
QString FamilyScore(const share::Tally& tally);
// One line a vote: "爷爷 ★★★★☆:好听" (the family's text as it is: escape
// it where it is shown as rich text).
QStringList FamilyVotes(const share::Tally& tally);

}  // namespace tavrin::ui
