#include "ui/SharePanel.h"

#include <qrencode.h>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QNetworkInterface>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "share/server.h"
#include "ui/MessageBox.h"

namespace tavrin::ui {

namespace {

constexpr char kLocalAddress[] = "127.0.0.1";
constexpr int kQrScale = 4;
// Where the last share was: "local" (this computer alone) or "network".
constexpr char kWhereKey[] = "share/where";

// Where to share, as the user picks it: the home network's addresses first,
// then this computer alone; the kind picked last time is offered first.
QString AskWhere(QWidget* parent, const QStringList& addresses) {
  QStringList choices;
  for (const QString& address : addresses) {
    choices << (address == kLocalAddress ? SharePanel::tr("仅本机 %1(只有这台电脑能打开,适合先试试)").arg(address)
                                         : SharePanel::tr("家庭网络 %1(连着同一个 Wi-Fi 的手机都能打开)").arg(address));
  }
  bool ok = false;
  const QString picked =
      QInputDialog::getItem(parent, SharePanel::tr("邀请家人"), SharePanel::tr("在哪里分享收藏的名字?"), choices,
                            SharePanel::OfferedFirst(addresses, SharePanel::LastWhere()), false, &ok);
  if (!ok) return {};
  const auto at = choices.indexOf(picked);
  return at < 0 ? QString() : addresses[at];
}

// Which member to remove, with a word that their votes go too.
QString AskMemberToRemove(QWidget* parent, const QStringList& members) {
  bool ok = false;
  const QString picked =
      QInputDialog::getItem(parent, SharePanel::tr("删去家人"),
                            SharePanel::tr("删去哪一位家人?其投票和留言也会一起删去。"), members, 0, false, &ok);
  return ok ? picked : QString();
}

}  // namespace

QImage QrCodeImage(const QByteArray& text, int scale) {
  QRcode* code = QRcode_encodeData(static_cast<int>(text.size()), reinterpret_cast<const unsigned char*>(text.data()),
                                   0, QR_ECLEVEL_M);
  if (!code) return {};
  constexpr int kQuiet = 4;
  const int modules = code->width + 2 * kQuiet;
  QImage image(modules * scale, modules * scale, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 0; y < code->width; ++y) {
    for (int x = 0; x < code->width; ++x) {
      if (!(code->data[y * code->width + x] & 1)) continue;
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx)
          image.setPixel((x + kQuiet) * scale + dx, (y + kQuiet) * scale + dy, 0xff000000);
      }
    }
  }
  QRcode_free(code);
  return image;
}

QString FamilyScore(const share::Tally& tally) {
  return SharePanel::tr("★%1 · %2票").arg(tally.average, 0, 'f', 1).arg(tally.votes.size());
}

QStringList FamilyVotes(const share::Tally& tally) {
  QStringList lines;
  for (const share::Vote& vote : tally.votes) {
    const QString stars = QString(vote.rating, QChar(0x2605)) + QString(5 - vote.rating, QChar(0x2606));
    QString line = QString::fromStdString(vote.member) + " " + stars;
    if (!vote.comment.empty()) line += SharePanel::tr(":") + QString::fromStdString(vote.comment);
    lines << line;
  }
  return lines;
}

SharePanel::SharePanel(std::string pageDir, QWidget* parent)
    : QFrame(parent), pageDir_(std::move(pageDir)), askAddress_(AskWhere), askMember_(AskMemberToRemove) {
  setObjectName("sharePanel");
  setFrameShape(QFrame::StyledPanel);
  // As tall as what it shows: the table keeps the room.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  MakeWidgets();
  LayOut();

  connect(invite_, &QPushButton::clicked, this, [this] { Invite(); });
  connect(stop_, &QPushButton::clicked, this, &SharePanel::Stop);
  connect(removeMember_, &QPushButton::clicked, this, [this] { RemoveMember(); });
  poll_.setInterval(1000);
  connect(&poll_, &QTimer::timeout, this, &SharePanel::ReadVotes);
  // Quitting ends the share before the window goes.
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &SharePanel::Stop);
  ShowState();
}

void SharePanel::MakeWidgets() {
  invite_ = new QPushButton(tr("邀请家人"), this);
  invite_->setObjectName("shareInvite");
  invite_->setToolTip(tr("在家庭网络上分享收藏的名字:家人用手机扫码打开,给每个名字打星、留言"));
  stop_ = new QPushButton(tr("停止分享"), this);
  stop_->setObjectName("shareStop");
  stop_->setToolTip(tr("停止分享:链接立即失效,家人的投票仍留在收藏里"));
  state_ = new QLabel(this);
  state_->setObjectName("shareState");
  address_ = new QLabel(this);
  address_->setObjectName("shareAddress");
  address_->setTextFormat(Qt::PlainText);
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont mono = address_->font();
  mono.setFamily("monospace");
  address_->setFont(mono);
  qr_ = new QLabel(this);
  qr_->setObjectName("shareQr");
  members_ = new QLabel(this);
  members_->setObjectName("shareMembers");
  members_->setTextFormat(Qt::PlainText);
  members_->setWordWrap(true);
  removeMember_ = new QPushButton(tr("删去家人…"), this);
  removeMember_->setObjectName("shareRemoveMember");
  removeMember_->setToolTip(tr("删去一位投过票的家人及其投票,例如别人编造的称呼"));
}

void SharePanel::LayOut() {
  auto* text = new QVBoxLayout;
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(invite_);
  buttons->addWidget(stop_);
  buttons->addWidget(state_, 1);
  text->addLayout(buttons);
  text->addWidget(address_);
  auto* members = new QHBoxLayout;
  members->addWidget(members_, 1);
  members->addWidget(removeMember_, 0, Qt::AlignTop);
  text->addLayout(members);
  text->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->addLayout(text, 1);
  layout->addWidget(qr_);
}

SharePanel::~SharePanel() { Stop(); }

void SharePanel::Fault(const QString& text) { ShowMessage(this, text); }

void SharePanel::SetStorePath(const std::string& path, bool readOnly) {
  if (path == storePath_ && readOnly == readOnly_) return;
  Stop();
  book_.reset();
  storePath_ = path;
  readOnly_ = readOnly;
  tallies_ = {};
  seen_ = -1;
  // Votes of an earlier share are shown as soon as the store is open: the
  // store, brought up to date when it was opened, holds the vote tables.
  if (!storePath_.empty() && !readOnly_) OpenBook(false);
  emit talliesChanged();
  ReadVotes();
  ShowState();
}

bool SharePanel::OpenBook(bool create) {
  if (book_) return true;
  try {
    book_ = std::make_unique<share::SqliteVoteBook>(storePath_);
  } catch (const share::ShareError& error) {
    if (create) Fault(tr("无法在收藏文件中记录投票:%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  poll_.start();
  return true;
}

QStringList SharePanel::Addresses() {
  QStringList addresses;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto flags = interface.flags();
    if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
        (flags & QNetworkInterface::IsLoopBack)) {
      continue;
    }
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      const QHostAddress ip = entry.ip();
      if (ip.protocol() != QAbstractSocket::IPv4Protocol || ip.isLoopback() || ip.isLinkLocal()) continue;
      if (!addresses.contains(ip.toString())) addresses << ip.toString();
    }
  }
  addresses << kLocalAddress;
  return addresses;
}

QString SharePanel::LastWhere() {
  const QVariant where = QSettings().value(kWhereKey);
  return where.typeId() == QMetaType::QString ? where.toString() : QString();
}

int SharePanel::OfferedFirst(const QStringList& addresses, const QString& lastWhere) {
  if (lastWhere != "local") return 0;
  const auto local = addresses.indexOf(kLocalAddress);
  return local < 0 ? 0 : static_cast<int>(local);
}

bool SharePanel::Invite() {
  if (Sharing()) return true;
  const QString address = askAddress_(this, Addresses());
  return !address.isEmpty() && Start(address);
}

bool SharePanel::Start(const QString& address, int port) {
  if (Sharing()) return true;
  const QHostAddress host(address);
  if (host.isNull() || host == QHostAddress::AnyIPv4 || host == QHostAddress::AnyIPv6) {
    Fault(tr("“%1”不是可以分享的地址").arg(address));
    return false;
  }
  if (storePath_.empty()) {
    Fault(tr("收藏不可用:打开收藏文件时出错"));
    return false;
  }
  if (readOnly_) {
    Fault(tr("收藏文件只能读,无法记录家人的投票"));
    return false;
  }
  if (!OpenBook(true)) return false;
  const share::SharedList list = makeList_ ? makeList_() : share::SharedList{};
  if (list.names.empty()) {
    Fault(tr("收藏里还没有名字,先收藏几个再请家人来选"));
    return false;
  }
  share::ServerOptions options;
  options.address = address.toStdString();
  options.port = port;
  options.pageDir = pageDir_;
  try {
    auto server = std::make_unique<share::ShareServer>(*book_, options);
    server->SetList(list);
    shown_ = share::NamesJson(list, 0);
    server->Start();
    server_ = std::move(server);
    QSettings().setValue(kWhereKey, host.isLoopback() ? "local" : "network");
  } catch (const share::ShareError& error) {
    Fault(tr("无法开始分享:%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  ShowState();
  ReadVotes();
  return true;
}

void SharePanel::Stop() {
  if (!server_) return;
  server_->Stop();
  server_.reset();
  ShowState();
}

bool SharePanel::Sharing() const { return server_ && server_->Running(); }

QString SharePanel::Url() const { return Sharing() ? QString::fromStdString(server_->Url()) : QString(); }

int SharePanel::Port() const { return Sharing() ? server_->Port() : 0; }

void SharePanel::ListChanged() {
  if (!Sharing() || !makeList_) return;
  // The window calls this on every change of the table (a tally read, a
  // star given): the family's pages are asked to draw again only when what
  // they show changed.
  const share::SharedList list = makeList_();
  std::string shown = share::NamesJson(list, 0);
  if (shown == shown_) return;
  shown_ = std::move(shown);
  server_->SetList(list);
}

void SharePanel::ReadVotes() {
  if (!book_) return;
  try {
    const std::int64_t version = book_->Version();
    if (version == seen_) return;
    tallies_ = book_->ReadTallies();
    seen_ = version;
  } catch (const share::ShareError&) {
    return;  // the store is busy or gone for now: the next look tries again
  }
  ShowMembers();
  emit talliesChanged();
}

bool SharePanel::RemoveMember() {
  if (!book_) return false;
  QStringList members;
  try {
    for (const share::Member& m : book_->Members()) members << QString::fromStdString(m.name);
  } catch (const share::ShareError& error) {
    Fault(tr("无法读取投过票的家人:%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  if (members.isEmpty()) return false;
  const QString member = askMember_(this, members);
  if (member.isEmpty()) return false;
  try {
    if (!book_->RemoveMember(member.toStdString())) return false;
  } catch (const share::ShareError& error) {
    Fault(tr("无法删去家人:%1").arg(QString::fromStdString(error.what())));
    return false;
  }
  ReadVotes();
  return true;
}

void SharePanel::ShowMembers() {
  QStringList members;
  for (const std::string& member : tallies_.members) members << QString::fromStdString(member);
  members_->setText(members.isEmpty() ? (Sharing() ? tr("还没有家人投票") : QString())
                                      : tr("已投票(%1 人):%2").arg(members.size()).arg(members.join("、")));
  members_->setVisible(!members_->text().isEmpty());
  removeMember_->setVisible(!members.isEmpty());
}

void SharePanel::ShowState() {
  const bool sharing = Sharing();
  invite_->setEnabled(!sharing && !storePath_.empty() && !readOnly_);
  stop_->setEnabled(sharing);
  stop_->setVisible(sharing);
  state_->setText(sharing ? tr("正在分享收藏的名字。家人用手机扫右边的二维码,或在浏览器中打开:")
                          : tr("请家人一起选:分享收藏的名字,家人用手机打星、留言"));
  const QString url = Url();
  address_->setText(url);
  address_->setVisible(sharing);
  if (sharing) {
    const QImage code = QrCodeImage(url.toUtf8(), kQrScale);
    qr_->setPixmap(QPixmap::fromImage(code));
    qr_->setToolTip(url);
  } else {
    qr_->clear();
  }
  qr_->setVisible(sharing);
  ShowMembers();
}

}  // namespace tavrin::ui
