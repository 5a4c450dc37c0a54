#pragma once
// The declaration of a record set's fields: written once per record set, from it come the
// opening checks, the typed storage and the update statements.

#include <span>

namespace zk {

enum class FieldType { Integer, SmallInt, Float, String, FixedChar, Date, Time, Bcd, Blob };

// How a field shows as text: as it is, in the regional currency format, or as a price
// with the pattern "###,##0.00" (grouping, two decimals, regional separators, no symbol).
enum class DisplayFormat { Plain, Currency, Price };

struct FieldDef {
    const char* name;
    FieldType type;
    int size = 0; // characters of a text field
    bool required = false;
    DisplayFormat display = DisplayFormat::Plain;
};

using FieldDefs = std::span<const FieldDef>;

} // namespace zk
