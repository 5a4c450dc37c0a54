#pragma once
// The sockets a connection opened, so that a lost connection can be cut off on this side. A
// server that has ended a connection may leave its socket open and never answer on it, and a
// network that went silent never answers either: the client, which has no time limit for an
// answer, would wait for ever on the next request.

#include <chrono>
#include <set>

namespace zk::fb {

// The TCP connections this process opened (Linux; elsewhere none are known): neither the
// display's and other local sockets, nor listening sockets and what they accepted.
std::set<int> openSockets();
// Ends both directions of the socket: the client's call on it fails at once, as on a broken
// network (a connect still under way is given up), and the client then closes it itself.
void cutOff(int socket);
// Asks the kernel to give up on the socket when what it sent is not acknowledged within the
// deadline, and to probe an idle connection as often: a second line behind the watchdog, and
// the only one for a connection that waits for the server without asking (events).
void limitWaits(int socket, std::chrono::milliseconds deadline);

} // namespace zk::fb
