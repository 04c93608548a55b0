#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "report/column_tables.h"
#include "report/field_ref.h"
#include "report/fixed_text.h"
#include "report/report_model.h"

namespace ornexa {

// How one field is reached in its record: read by every view, written only by the readers.
template <class Record> struct FieldAccess {
    ConstFieldRef (*read)(const Record&) = nullptr;
    FieldRef (*write)(Record&) = nullptr;
};

// One field of a record, declared once: everything that lists the record's fields (the readers'
// column tables, the history's tables, the JSON document, the CSV lists) takes it from here.
template <class Record> struct RecordField {
    std::string_view name;            // as the record spells it: "VPSize", "PoolGetPagesByAccess(2)"
    FieldAccess<Record> access;       // where the record holds it
    ColumnDef statistics;             // its columns and kind on the Statistics report's line
    std::string_view history;         // its column in the history's table of the record
    std::string_view jsonKey = {};    // its key in the JSON document; empty where the document leaves it out
    std::string_view csvCaption = {}; // its column caption in the CSV lists; empty where no list shows it
};

template <class Record> using RecordCatalogue = std::span<const RecordField<Record>>;

// The fields of the header, pool ("BPS") and object ("BPD") lines of a Statistics report, in line order.
std::span<const RecordField<ReportHeader>, HeaderFieldCount> HeaderCatalogue();
std::span<const RecordField<PoolRecord>, PoolFieldCount> PoolCatalogue();
std::span<const RecordField<ObjectRecord>, ObjectFieldCount> ObjectCatalogue();

namespace field_access {

inline ConstFieldRef Read(const Integer& value) {
    return &value;
}
inline ConstFieldRef Read(const Long& value) {
    return &value;
}
inline ConstFieldRef Read(const double& value) {
    return &value;
}
template <std::size_t N> ConstFieldRef Read(const FixedText<N>& text) {
    return text.Span();
}
inline FieldRef Write(Integer& value) {
    return &value;
}
inline FieldRef Write(Long& value) {
    return &value;
}
inline FieldRef Write(double& value) {
    return &value;
}
template <std::size_t N> FieldRef Write(FixedText<N>& text) {
    return text.Span();
}

template <class Pointer> struct MemberOf;
template <class Record, class Value> struct MemberOf<Value Record::*> { using Owner = Record; };

} // namespace field_access

// The access to a member of a record (`Member<&PoolRecord::VPSize>()`), and to element `I` of a
// OneBased member (`Element<&PoolRecord::PoolPagesReadByType, 2>()`).
template <auto M> constexpr FieldAccess<typename field_access::MemberOf<decltype(M)>::Owner> Member() {
    using Record = typename field_access::MemberOf<decltype(M)>::Owner;
    return {[](const Record& record) { return field_access::Read(record.*M); },
            [](Record& record) { return field_access::Write(record.*M); }};
}
template <auto M, int I> constexpr FieldAccess<typename field_access::MemberOf<decltype(M)>::Owner> Element() {
    using Record = typename field_access::MemberOf<decltype(M)>::Owner;
    return {[](const Record& record) { return field_access::Read((record.*M)(I)); },
            [](Record& record) { return field_access::Write((record.*M)(I)); }};
}

// The column table of a catalogue, field for field.
template <class Record, std::size_t N>
constexpr std::array<ColumnDef, N> ColumnsOf(std::span<const RecordField<Record>, N> catalogue) {
    std::array<ColumnDef, N> columns{};
    for (std::size_t i = 0; i < N; ++i) {
        columns[i] = catalogue[i].statistics;
    }
    return columns;
}

// The fields of `record` in catalogue order, to read.
template <class Record, std::size_t N>
std::array<ConstFieldRef, N> FieldsOf(const Record& record, std::span<const RecordField<Record>, N> catalogue) {
    std::array<ConstFieldRef, N> fields;
    for (std::size_t i = 0; i < N; ++i) {
        fields[i] = catalogue[i].access.read(record);
    }
    return fields;
}

// The places a read stores the fields of a line in `record`, in catalogue order.
template <class Record, std::size_t N>
std::array<FieldRef, N> TargetsOf(Record& record, std::span<const RecordField<Record>, N> catalogue) {
    std::array<FieldRef, N> targets;
    for (std::size_t i = 0; i < N; ++i) {
        targets[i] = catalogue[i].access.write(record);
    }
    return targets;
}

// The position of the field called `name`; throws std::out_of_range for a name the catalogue lacks.
template <class Record> std::size_t FieldIndex(RecordCatalogue<Record> catalogue, std::string_view name) {
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].name == name) {
            return i;
        }
    }
    throw std::out_of_range("no record field " + std::string(name));
}

// A field as a list or the JSON document shows it: a text trimmed and in UTF-8, a number in plain
// figures with `.` as decimal separator.
std::string FieldText(const ConstFieldRef& field);

} // namespace ornexa
