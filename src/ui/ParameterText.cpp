#include "ParameterText.h"

#include <QRegularExpression>

#include <cmath>

namespace velquor::ui {

QString IntegerText(int value) { return QString::number(value); }

QString RealText(std::int64_t scaled, int decimals, const QString& decimalSeparator) {
    std::int64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const bool negative = scaled < 0;
    const std::int64_t magnitude = negative ? -scaled : scaled;
    QString text = QString::number(magnitude / unit);
    QString fraction =
        QStringLiteral("%1").arg(magnitude % unit, decimals, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += decimalSeparator + fraction;
    if (negative && magnitude != 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

std::int64_t PreStretchHundredths(double preStretch) {
    return static_cast<std::int64_t>(std::nearbyint(100.0L * preStretch));
}

std::optional<int> ParseTakeOffSpeed(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d)(?:[.,](\\d))?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int tenths = match.captured(1).toInt() * 10 +
                       (match.captured(2).isEmpty() ? 0 : match.captured(2).toInt());
    if (tenths > 30)
        return std::nullopt;
    return tenths;
}

} // namespace velquor::ui
