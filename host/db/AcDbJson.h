#pragma once
// JSON views of a drawing: one JSON object per line for every object, in handle order, with
// "handle" and "owner" (hexadecimal handle text), "class" and "erased", followed by the fields
// the class files, under the names it gives them. References are handle text (null when
// null), points [x, y, z], matrices 16 numbers row by row, bytes hexadecimal text.
#include <iosfwd>

#include "host/db/AcDbDatabase.h"

// Writes every object of db (erased ones included) as JSON lines; non-finite numbers, which
// no object should hold, show as null (which the loader refuses).
Acad::ErrorStatus acdbDumpJson(AcDbDatabase* db, std::ostream& out);

// Adds the objects of JSON lines to db, keeping the handles they give (an object without
// "handle" gets a new one), so that lines may refer to each other. An entity without
// "owner" goes to model space; a layer or block table record without one joins its table, and
// a record owned by its table is in the table's list; a layer that an entity names is created
// when missing. Fields a line leaves out keep the class's defaults. Empty lines are skipped.
// On any error (malformed JSON, unknown class, a handle used twice, already in db or beyond
// the last one, a reference to a handle that is nowhere, a field of the wrong type or a value
// its class refuses, a number that is not finite, two live records of one table with one
// name, lines that leave db without both tables) error says what and on which line
// ("line 3: field \"color\": ..."), eInvalidInput is answered and db is unchanged.
Acad::ErrorStatus acdbLoadJson(std::istream& in, AcDbDatabase* db, CString& error);
