#pragma once
// The fields of every record set of the data module, each list declared once, in the
// order the record set exposes them.

#include "data/dataset/FieldDef.h"

namespace campos {

extern const zk::FieldDefs Mesas;       // QMesas
extern const zk::FieldDefs PesqMesa;    // QPesqMesa
extern const zk::FieldDefs Mov;         // QMov
extern const zk::FieldDefs ItensMov;    // QItensMov
extern const zk::FieldDefs SpItens;     // QSpItens
extern const zk::FieldDefs Total;       // QTotal
extern const zk::FieldDefs PesqProdutos; // QPesqProdutos
extern const zk::FieldDefs Grupos;      // Qgrupos
extern const zk::FieldDefs Conf;        // QConf

} // namespace campos
