#pragma once
// What a window binds a control to: a record set, named for the window's use of it.

namespace zk {

class Query;

struct DataSource {
    Query& DataSet;
};

} // namespace zk
