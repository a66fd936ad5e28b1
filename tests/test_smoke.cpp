#include "harness.h"

class SmokeTest : public QObject {
  Q_OBJECT
 private slots:
  void startsIdle() {
    Harness h;
    QCOMPARE(h->lblfr5.Caption(), QStringLiteral("２秒毎"));
  }
};

PELATTO_TEST_MAIN(SmokeTest)
#include "test_smoke.moc"
