#include "host/records.h"

#include <QRandomGenerator>

qint64 newRecordId() {
  return static_cast<qint64>(QRandomGenerator::global()->generate64() >> 2) + 1;
}
