// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>
#include <concepts>
#include <tuple>

// The columns of a data-driven test, one type for each name.
template <class... T>
void columns(const std::convertible_to<const char*> auto&... names) {
  (QTest::addColumn<T>(names), ...);
}
// The current row's values of the columns named, as a tuple to bind.
template <class... T>
std::tuple<T...> fetch(const std::convertible_to<const char*> auto&... names) {
  return {*static_cast<T*>(QTest::qData(names, qMetaTypeId<T>()))...};
}
