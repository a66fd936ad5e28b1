#include <cstdlib>

#include "shell/frm_pelatto.h"

// Terms per problem, time per number and the display extension, with the
// read-outs of the time per number and per problem. None of them aborts a
// drill; the terms handler keeps the mix within the terms.

namespace {

// A whole number of hundredths as seconds with at most two decimals and
// no trailing zeros, cut to four characters: 75 -> "0.75", 8671 -> "86.7".
QString shortForm(int hundredths) {
  QString s = QString::number(hundredths / 100);
  const int frac = hundredths % 100;
  if (frac != 0) {
    QString decimals = QString::number(frac).rightJustified(2, QLatin1Char('0'));
    if (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    s += QLatin1Char('.') + decimals;
  }
  return s.left(4);
}

QString wholeProblemText(int tyo, int kazu, int hayasa) {
  if (tyo <= 1) return shortForm(kazu * hayasa) + QStringLiteral("秒");
  return QStringLiteral("約") + QString::number((tyo + 1) * kazu);
}

}  // namespace

void frmPelatto::hscl6_Change() {
  kazu = static_cast<int16>(hscl6.Value());
  lblfr6.setCaption(QString::number(kazu));
  if (tyo > 1) lblfr5.setCaption(QString::number(tyo + 1) + QStringLiteral("秒毎"));
  lblfr5s.setCaption(wholeProblemText(tyo, kazu, hayasa));
  ShowAdvisoryOrClear();
  if (kon > kazu) hscl3.setValue(hscl6.Value() - 1);
}

// The mix fallback runs during a drag too: a problem may start while the
// thumb moves, and its numbers need a mix within the terms.
void frmPelatto::hscl6_Scroll() { hscl6_Change(); }

void frmPelatto::hscl5_Change() {
  hscl5_Scroll();
  if (std::abs(hayasa - 200) > 3) hscl8.setValue(0);
}

void frmPelatto::hscl5_Scroll() {
  hayasa = static_cast<int16>(hscl5.Value());
  if (hayasa == 300)
    lblfr5.setCaption(QStringLiteral("３秒毎"));
  else if (hayasa == 200)
    lblfr5.setCaption(QStringLiteral("２秒毎"));
  else if (hayasa == 100)
    lblfr5.setCaption(QStringLiteral("１秒毎"));
  else if (tyo <= 1)
    lblfr5.setCaption(shortForm(hayasa) + QStringLiteral("毎"));
  else
    lblfr5.setCaption(QString::number(tyo + 1) + QStringLiteral("秒毎"));
  lblfr5s.setCaption(wholeProblemText(tyo, kazu, hayasa));
  hscl8.setEnabled(std::abs(hayasa - 200) <= 3);
}

void frmPelatto::hscl8_Change() {
  tyo = static_cast<int16>(hscl8.Value());
  lblfr8.setCaption(QStringLiteral("+") + QString::number(hscl8.Value()));
  hscl5.setValue(200);
  if (tyo <= 1)
    lblfr5.setCaption(shortForm(hayasa) + QStringLiteral("秒毎"));
  else
    lblfr5.setCaption(QString::number(tyo + 1) + QStringLiteral("秒毎"));
  lblfr5s.setCaption(wholeProblemText(tyo, kazu, hayasa));
}
