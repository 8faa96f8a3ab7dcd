// Sharing from 收藏, offscreen: 邀请家人 serves the kept names on 127.0.0.1
// (never on every interface), a family member's vote reaches 收藏's table,
// its tooltip (escaped) and the comparison, a newly kept name reaches the
// page, and 停止分享 kills the link.
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "favourites/store.h"
#include "favourites_fixture.h"
#include "share/share_testutil.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/MainWindow.h"
#include "ui/SharePanel.h"
#include "ui/qtext.h"
#include "window_fixture.h"

using tavrin::Favourite;
using tavrin::FavouritesStore;
using tavrin::Sex;
using tavrin::test::Find;
using tavrin::ui::FavouritesModel;
using tavrin::ui::FavouritesPage;
using tavrin::ui::MainWindow;
using tavrin::ui::SharePanel;
using tavrin::ui::ToGbk;
namespace web = tavrin::share::test;

namespace {

// A name kept for a birth on 2012-03-`day`, scored 80.
Favourite Kept(const QString& name, Sex sex, int day) { return tavrin::test::Kept(name, 80, day, sex); }

// The page's row of a kept name.
int RowOf(const FavouritesModel& model, const QString& name) {
  for (int row = 0; row < model.rowCount(); ++row) {
    if (model.index(row, FavouritesModel::kName).data().toString() == name) return row;
  }
  return -1;
}

// The comparison of the names as the dialog shows it: row label → cells.
QMap<QString, QStringList> Compared(FavouritesPage& page, const QStringList& names) {
  tavrin::test::Select(page, names);
  QMap<QString, QStringList> rows;
  QDialog* dialog = page.Compare();
  if (!dialog) return rows;
  auto* compared = Find<QTableWidget>(*dialog, "comparisonTable");
  for (int c = 0; c < compared->columnCount(); ++c) rows["姓名"] << compared->horizontalHeaderItem(c)->text();
  for (int r = 0; r < compared->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < compared->columnCount(); ++c) {
      cells << (compared->item(r, c) ? compared->item(r, c)->text() : QString());
    }
    rows[compared->verticalHeaderItem(r)->text()] = cells;
  }
  dialog->close();
  return rows;
}

std::string VoteBody(const char* member, const char* name, const char* sex, int rating, const char* comment) {
  return std::string(R"({"member":")") + member + R"(","name":")" + name + R"(","sex":")" + sex + R"(","rating":)" +
         std::to_string(rating) + R"(,"comment":")" + comment + R"("})";
}

}  // namespace

class SharePanelTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("tavrin-test-share");
  }
  void init() { recorder = std::make_unique<tavrin::test::MessageRecorder>(); }
  void cleanup() { recorder.reset(); }

  // Where a share may listen: a numeric address of this computer, never
  // every interface at once.
  void addresses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("shares");
    QTest::newRow("this computer") << "127.0.0.1" << true;
    QTest::newRow("every IPv4 interface") << "0.0.0.0" << false;
    QTest::newRow("every IPv6 interface") << "::" << false;
    QTest::newRow("a host name") << "localhost" << false;
    QTest::newRow("nothing") << "" << false;
  }
  void addresses() {
    QFETCH(QString, address);
    QFETCH(bool, shares);
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    page.Store()->Save(Kept("张伟", Sex::kMale, 1));
    page.Refresh();
    QCOMPARE(page.Share().Start(address), shares);
    QCOMPARE(page.Share().Sharing(), shares);
    QCOMPARE(recorder->texts.size(), shares ? 0 : 1);
    QVERIFY(SharePanel::Addresses().endsWith("127.0.0.1"));
    QVERIFY(!SharePanel::Addresses().contains("0.0.0.0"));
  }

  // Closing the window ends the share: nothing listens on its port after.
  void closingEndsTheShare() {
    QTemporaryDir dir;
    auto window = std::make_unique<MainWindow>(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window->Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    page.Store()->Save(Kept("张伟", Sex::kMale, 1));
    page.Refresh();
    QVERIFY(page.Share().Start("127.0.0.1"));
    const int port = page.Share().Port();
    const std::string names = "/" + page.Share().Url().section('/', 3, 3).toStdString() + "/api/names";
    QCOMPARE(web::Exchange(port, web::Get(names)).status, 200);
    window.reset();
    QCOMPARE(web::Exchange(port, web::Get(names)).status, 0);
  }

  void shareVoteAndStop() {
    QTemporaryDir dir;
    MainWindow window(tavrin::test::WindowStores(), 1);
    FavouritesPage& page = *window.Favourites();
    page.SetStore(std::make_unique<FavouritesStore>(dir.filePath("f.db").toStdString()));
    page.Store()->Save(Kept("张伟", Sex::kMale, 1));
    page.Store()->Save(Kept("李明", Sex::kMale, 2));
    page.Refresh();
    const FavouritesModel& model = page.Model();
    // Before any vote: no 家人评分, in the table or the comparison.
    QVERIFY(page.Table()->isColumnHidden(FavouritesModel::kFamily));
    QVERIFY(!Compared(page, {"张伟", "李明"}).contains("家人评分"));

    SharePanel& panel = page.Share();
    panel.SetAskAddress([](QWidget*, const QStringList& addresses) { return addresses.last(); });
    QTest::mouseClick(Find<QPushButton>(page, "shareInvite"), Qt::LeftButton);
    QVERIFY(panel.Sharing());
    QVERIFY2(panel.Url().startsWith("http://127.0.0.1:"), qPrintable(panel.Url()));
    // The next 邀请家人 offers this computer first.
    QCOMPARE(SharePanel::OfferedFirst({"192.168.1.5", "127.0.0.1"}, SharePanel::LastWhere()), 1);
    QCOMPARE(SharePanel::OfferedFirst({"192.168.1.5", "127.0.0.1"}, "network"), 0);
    QCOMPARE(Find<QLabel>(page, "shareAddress")->text(), panel.Url());
    QVERIFY(!Find<QLabel>(page, "shareQr")->pixmap().isNull());
    const int port = panel.Port();
    const std::string secret = panel.Url().section('/', 3, 3).toStdString();
    const auto path = [&](const std::string& rest) { return "/" + secret + rest; };

    web::Reply names = web::Exchange(port, web::Get(path("/api/names")));
    QCOMPARE(names.status, 200);
    const auto listVersion = [&] { return web::Exchange(port, web::Get(path("/api/names"))).body.substr(0, 20); };
    const std::string listed = listVersion();
    QVERIFY(names.body.find("张伟") != std::string::npos);
    QVERIFY(names.body.find("王芳") == std::string::npos);

    struct Vote {
      const char* member;
      const char* name;
      int rating;
      const char* comment;
    };
    for (const Vote& vote : {Vote{"爷爷", "张伟", 5, "<b>大气</b>"}, Vote{"奶奶", "张伟", 4, ""}}) {
      QCOMPARE(web::Exchange(port, web::Post(path("/api/votes"),
                                             VoteBody(vote.member, vote.name, "male", vote.rating, vote.comment)))
                   .status,
               200);
    }
    // The window sees them within its look each second.
    const int row = RowOf(model, "张伟");
    QTRY_COMPARE(model.index(row, FavouritesModel::kFamily).data().toString(), QString("★4.5 · 2票"));
    QCOMPARE(model.index(RowOf(model, "李明"), FavouritesModel::kFamily).data().toString(), QString());
    QVERIFY(!page.Table()->isColumnHidden(FavouritesModel::kFamily));
    const QString tip = model.index(row, FavouritesModel::kFamily).data(Qt::ToolTipRole).toString();
    QVERIFY2(tip.contains("爷爷 ★★★★★:&lt;b&gt;大气&lt;/b&gt;") && !tip.contains("<b>大气"), qPrintable(tip));
    QCOMPARE(Find<QLabel>(page, "shareMembers")->text(), QString("已投票(2 人):爷爷、奶奶"));
    QCOMPARE(Find<QLabel>(page, "shareMembers")->textFormat(), Qt::PlainText);
    // The votes read back changed the table, not the list: no page redraws.
    QCOMPARE(listVersion(), listed);

    const QMap<QString, QStringList> compared = Compared(page, {"张伟", "李明"});
    const int zhang = compared["姓名"].indexOf("张伟");
    QVERIFY(zhang >= 0);
    QCOMPARE(compared["家人评分"][zhang], QString("★4.5 · 2票"));
    QCOMPARE(compared["家人评分"][1 - zhang], QString());
    QCOMPARE(compared["家人留言"][zhang], QString("爷爷 ★★★★★:<b>大气</b>\n奶奶 ★★★★☆"));

    // A name kept while sharing reaches the page.
    page.Store()->Save(Kept("王芳", Sex::kFemale, 3));
    page.Refresh();
    QVERIFY(web::Exchange(port, web::Get(path("/api/names"))).body.find("王芳") != std::string::npos);
    QVERIFY(listVersion() != listed);

    // Visitors trickling their requests do not hold up 停止分享: it ends
    // without waiting out their requests' deadline (its time is measured by
    // BM_StopWhileTrickled).
    std::vector<int> trickling;
    for (int i = 0; i < 16; ++i) {
      trickling.push_back(web::Connect(port));
      ::send(trickling.back(), "GET /", 5, MSG_NOSIGNAL);
    }
    QElapsedTimer stopping;
    stopping.start();
    QTest::mouseClick(Find<QPushButton>(page, "shareStop"), Qt::LeftButton);
    QVERIFY2(stopping.elapsed() < tavrin::share::ServerOptions().readTimeout.count(),
             qPrintable(QString::number(stopping.elapsed())));
    for (int fd : trickling) ::close(fd);
    QVERIFY(!panel.Sharing());
    QVERIFY(Find<QLabel>(page, "shareQr")->isHidden());
    // The secret is forgotten and the port closed: the link gets no page.
    QCOMPARE(web::Exchange(port, web::Get(path("/api/names"))).status, 0);
    // The votes stay in 收藏 once the share has ended.
    QCOMPARE(model.index(row, FavouritesModel::kFamily).data().toString(), QString("★4.5 · 2票"));
    // 删去家人… takes a member and their votes out of 收藏.
    QStringList offered;
    panel.SetAskMember([&](QWidget*, const QStringList& members) {
      offered = members;
      return QString("奶奶");
    });
    QTest::mouseClick(Find<QPushButton>(page, "shareRemoveMember"), Qt::LeftButton);
    QCOMPARE(offered, QStringList({"爷爷", "奶奶"}));
    QCOMPARE(model.index(row, FavouritesModel::kFamily).data().toString(), QString("★5.0 · 1票"));
    QVERIFY(recorder->texts.isEmpty());
  }

 private:
  std::unique_ptr<tavrin::test::MessageRecorder> recorder;
};

QTEST_MAIN(SharePanelTest)
#include "test_sharepanel.moc"
