#pragma once
// The sockets a connection opened, so that a lost connection can be cut off on this side. A
// server that has ended a connection may leave its socket open and never answer on it: the
// client, which has no time limit for an answer, would wait for ever on the next request.

#include <set>

namespace zk::fb {

// The process's open sockets (Linux; elsewhere none are known).
std::set<int> openSockets();
// Ends both directions of the socket: the client's next call on it fails at once, as on a
// broken network, and the client then closes it itself.
void cutOff(int socket);

} // namespace zk::fb
