// The shipped poem database: it opens through Qt's SQLite driver from the
// executable's directory, and its table has the columns and the text the
// poetry page relies on.
#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include "chars/encoding.h"

class PoetryDbTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("poetry.db");
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "poetry");
    db.setDatabaseName(path);
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    QVERIFY2(db.open(), qPrintable(db.lastError().text()));
  }

  void cleanupTestCase() {
    QSqlDatabase::database("poetry").close();
    QSqlDatabase::removeDatabase("poetry");
  }

  void columnsInGridOrder() {
    QSqlQuery query(QSqlDatabase::database("poetry"));
    QVERIFY2(query.exec("select * from poetry"), qPrintable(query.lastError().text()));
    const QSqlRecord record = query.record();
    QVERIFY(record.count() >= 6);
    const QStringList expected = {"id", "content", "collection", "dynasty", "title", "author"};
    for (int i = 0; i < expected.size(); ++i) QCOMPARE(record.fieldName(i), expected[i]);
  }

  void everyPoemIsSimplifiedGbkText() {
    QSqlQuery query(QSqlDatabase::database("poetry"));
    QVERIFY(query.exec("select * from poetry"));
    int rows = 0;
    QSet<QString> collections;
    while (query.next()) {
      ++rows;
      const QString content = query.value(1).toString();
      const QString title = query.value(4).toString();
      const QString author = query.value(5).toString();
      const QString where = QString("row %1 %2").arg(rows).arg(title);
      QVERIFY2(!content.trimmed().isEmpty(), qPrintable(where));
      QVERIFY2(!title.isEmpty() && !author.isEmpty(), qPrintable(where));
      // Lines are separated by line breaks, none empty.
      for (const QString& line : content.split('\n')) QVERIFY2(!line.trimmed().isEmpty(), qPrintable(where));
      for (const QString& text : {content, title, author, query.value(2).toString(), query.value(3).toString()}) {
        QVERIFY2(tavrin::Utf8ToGbk(text.toStdString()).has_value(), qPrintable(where + ": " + text.left(40)));
      }
      collections.insert(query.value(2).toString());
    }
    QCOMPARE(rows, 959);  // 1,012 source rows less 53 merged copies
    QCOMPARE(collections, (QSet<QString>{"唐诗三百首", "宋词三百首", "诗经", "楚辞"}));
  }

  void knownPoemsStandSimplified() {
    // 唐诗三百首 comes from a traditional-character source; the shipped text
    // is its simplified form.
    const struct {
      const char* title;
      const char* author;
      const char* opening;
    } cases[] = {
        {"登幽州台歌", "陈子昂", "前不见古人，后不见来者。"},
        {"关雎", "佚名", "关关雎鸠，在河之洲。"},
        {"离骚", "屈原", "帝高阳之苗裔兮，朕皇考曰伯庸。"},
    };
    for (const auto& c : cases) {
      QSqlQuery query(QSqlDatabase::database("poetry"));
      query.prepare("select content, author from poetry where title = ?");
      query.addBindValue(QString(c.title));
      QVERIFY(query.exec());
      QVERIFY2(query.next(), c.title);
      QVERIFY2(query.value(0).toString().startsWith(c.opening), c.title);
      QCOMPARE(query.value(1).toString(), QString(c.author));
    }
  }
};

QTEST_GUILESS_MAIN(PoetryDbTest)
#include "test_poetrydb.moc"
