#pragma once
// Readable failure messages for the Qt types the run tests compare.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
