// Waits up to a time limit for a mapped top-level window with the given title on the X
// display, then writes the whole screen to a PNG file. Prints the window's place and how
// many colours it shows; exits 0 when it was found and is drawn, 1 otherwise.

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* connection() { return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection(); }

xcb_atom_t atom(const char* name)
{
    Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection(), xcb_intern_atom(connection(), 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr),
        std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString title(xcb_window_t window)
{
    Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection(),
                               xcb_get_property(connection(), 0, window, atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                               nullptr),
        std::free);
    if (!reply)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())), xcb_get_property_value_length(reply.get()));
}

bool viewable(xcb_window_t window)
{
    Owned<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection(), xcb_get_window_attributes(connection(), window), nullptr), std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

QRect geometry(xcb_window_t window)
{
    Owned<xcb_get_geometry_reply_t> reply(xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr),
                                          std::free);
    return reply ? QRect(reply->x, reply->y, reply->width, reply->height) : QRect();
}

std::optional<QRect> mappedWindow(const QString& wanted)
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection())).data;
    Owned<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection(), xcb_query_tree(connection(), screen->root), nullptr),
                                       std::free);
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        if (title(children[i]) == wanted && viewable(children[i]))
            return geometry(children[i]);
    return std::nullopt;
}

int colours(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: zk_windowshot TITLE OUT.png [SECONDS]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QString wanted = QString::fromLocal8Bit(argv[1]);
    QDeadlineTimer deadline(std::chrono::seconds(argc > 3 ? std::atoi(argv[3]) : 30));
    std::optional<QRect> place;
    while (!(place = mappedWindow(wanted)) && !deadline.hasExpired())
        QThread::msleep(100);
    if (!place) {
        std::fprintf(stderr, "zk_windowshot: no mapped window \"%s\"\n", argv[1]);
        return 1;
    }
    QThread::msleep(1000); // let it paint what it read
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    screen.save(QString::fromLocal8Bit(argv[2]));
    const int shown = colours(screen.copy(*place));
    std::printf("window \"%s\" at %d,%d size %dx%d on a %dx%d screen, %d colours\n", argv[1], place->x(), place->y(),
                place->width(), place->height(), screen.width(), screen.height(), shown);
    return shown >= 8 ? 0 : 1;
}
