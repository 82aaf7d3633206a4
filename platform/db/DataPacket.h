#pragma once
// The XML data packet: the file form of the record table.
//
// Written as one line in code page 1250:
//   <?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0">
//   <METADATA><FIELDS><FIELD .../>...</FIELDS><PARAMS AUTOINCVALUE="n"/></METADATA>
//   <ROWDATA><ROW id="1" kod="..."/>...</ROWDATA></DATAPACKET>
// with < > & ' " CR LF TAB and backslash escaped in attribute values, and
// other control characters and characters that code page 1250 cannot hold as
// decimal character references, so nothing is lost.
//
// Read leniently: code page 1250 or UTF-8 (by the declaration or a byte-order
// mark), either quote, any spacing, comments, unknown attributes and
// elements, field types of other origin (kept as text), and rows of a change
// log (deleted rows dropped, modified rows merged into their originals).

#include "ClientDataSet.h"

#include <QByteArray>

#include <functional>

namespace plat {

struct TDataPacket {
    std::vector<TFieldDef> defs;
    std::vector<QStringList> rows; // one text per field; empty = absent
    qint64 autoIncValue = 1;       // the id the next new record receives
};

// rowAt(i) gives the values of row i (0 <= i < rowCount).
QByteArray WriteDataPacket(const std::vector<TFieldDef>& defs, int rowCount,
                           const std::function<const QStringList&(int)>& rowAt, qint64 autoIncValue);

// Raises EDBClient with the reason and the character offset when the bytes
// are not a data packet.
TDataPacket ReadDataPacket(const QByteArray& bytes);

// The attribute escapes, exposed for tests and tools.
QString EscapePacketText(const QString& text);

} // namespace plat
