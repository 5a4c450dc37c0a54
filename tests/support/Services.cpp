#include "support/Services.h"

#include <QGuiApplication>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace services {

bool required() { return qEnvironmentVariable("ZENOBRA_TEST_SERVICES") == u"required"; }

std::optional<std::string> serverMissing()
{
    // "127.0.0.1/<port>", as the client names a server on another port.
    const QString address = qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER");
    if (address.isEmpty())
        return "no loopback Firebird server (scripts/test starts one)";
    const QString host = address.section(u'/', 0, 0);
    bool isNumber = false;
    const int port = address.section(u'/', 1).toInt(&isNumber);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<uint16_t>(isNumber ? port : 3050));
    if (inet_pton(AF_INET, host.toLatin1().constData(), &at.sin_addr) != 1)
        return "the test server's address is no IPv4 address: " + address.toStdString();
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const bool answers = socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0;
    const std::string reason = answers ? std::string() : std::strerror(errno);
    if (socket >= 0)
        ::close(socket);
    if (!answers)
        return "the loopback Firebird server at " + address.toStdString() + " cannot be reached: " + reason;
    return std::nullopt;
}

std::optional<std::string> displayMissing()
{
    if (QGuiApplication::platformName() != u"xcb")
        return "no X server (scripts/test starts one and names it in ZENOBRA_TEST_DISPLAY)";
    return std::nullopt;
}

} // namespace services
