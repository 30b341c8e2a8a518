// Replays the link-text fuzzer's seed corpus and saved crash inputs as an
// ordinary test, so that they stay fixed in every build.
#include "FuzzLinkText.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestLinkCheckCorpus : public QObject {
    Q_OBJECT

private slots:
    void replay() {
        int files = 0;
        for (const char* sub : {"linkcheck-corpus", "linkcheck-crashes"}) {
            const QDir dir(QStringLiteral(LINKFOLD_TEST_DATA "/") + QLatin1String(sub));
            for (const QFileInfo& info : dir.entryInfoList(QDir::Files)) {
                QFile file(info.filePath());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray bytes = file.readAll();
                fuzzOneLinkText(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()));
                ++files;
            }
        }
        QVERIFY(files > 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkCheckCorpus)
#include "tst_linkcheckcorpus.moc"
