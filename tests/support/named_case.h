// Table rows carry a Name; it names the test and is what gtest prints for the row.
#pragma once

#include <ostream>
#include <string>

template <typename Row>
auto operator<<(std::ostream& os, const Row& row) -> decltype(row.Name, os) {
    return os << row.Name;
}

struct RowName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return info.param.Name;
    }
};

#include <QString>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
