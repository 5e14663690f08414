// A stand-in desktop-portal back-end for the tests: it answers the portal's Screenshot requests
// the way it is told, to reach every path of the program's screenshot code.
//
//   fakeportal BUSNAME MODE [PICTURE]
//   MODE: ok (writes PICTURE to a file and hands it over), cancel (response 1), fail
//   (response 2), missing (hands over a file that does not exist), silent (never answers)

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cstdio>

namespace {

const char *Introspection = R"(
  <interface name="org.freedesktop.impl.portal.Screenshot">
    <method name="Screenshot">
      <arg type="o" name="handle" direction="in"/>
      <arg type="s" name="app_id" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="u" name="response" direction="out"/>
      <arg type="a{sv}" name="results" direction="out"/>
    </method>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.freedesktop.impl.portal.Access">
    <method name="AccessDialog">
      <arg type="o" name="handle" direction="in"/>
      <arg type="s" name="app_id" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="s" name="title" direction="in"/>
      <arg type="s" name="subtitle" direction="in"/>
      <arg type="s" name="body" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="u" name="response" direction="out"/>
      <arg type="a{sv}" name="results" direction="out"/>
    </method>
  </interface>
)";

class Backend : public QDBusVirtualObject
{
public:
    Backend(QString mode, QString picture)
        : m_mode(std::move(mode))
        , m_picture(std::move(picture))
    {}

    QString introspect(const QString &) const override
    {
        return QString::fromLatin1(Introspection);
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties")) {
            const QVariant version = QVariant::fromValue(QDBusVariant(uint(2)));
            if (member == QLatin1String("GetAll"))
                connection.send(message.createReply(
                    QVariant::fromValue(QVariantMap{{QStringLiteral("version"), uint(2)}})));
            else
                connection.send(message.createReply(version));
            return true;
        }
        if (member == QLatin1String("AccessDialog")) {
            connection.send(message.createReply({uint(0), QVariantMap()}));
            return true;
        }
        if (member != QLatin1String("Screenshot"))
            return false;
        std::fprintf(stderr, "fakeportal: Screenshot asked, answering %s\n", qPrintable(m_mode));
        if (m_mode == QLatin1String("silent"))
            return true; // no answer, ever
        if (m_mode == QLatin1String("cancel")) {
            connection.send(message.createReply({uint(1), QVariantMap()}));
        } else if (m_mode == QLatin1String("fail")) {
            connection.send(message.createReply({uint(2), QVariantMap()}));
        } else if (m_mode == QLatin1String("missing")) {
            const QString nowhere =
                QDir::temp().filePath(QStringLiteral("glimmerbox-no-such-shot.png"));
            connection.send(message.createReply(
                {uint(0),
                 QVariantMap{{QStringLiteral("uri"), QUrl::fromLocalFile(nowhere).toString()}}}));
        } else {
            const QString file =
                QDir::temp().filePath(QStringLiteral("glimmerbox-fakeportal-%1.png")
                                          .arg(QCoreApplication::applicationPid()));
            QFile::remove(file);
            QFile::copy(m_picture, file);
            connection.send(message.createReply(
                {uint(0),
                 QVariantMap{{QStringLiteral("uri"), QUrl::fromLocalFile(file).toString()}}}));
        }
        return true;
    }

private:
    QString m_mode;
    QString m_picture;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QDBusConnection bus = QDBusConnection::sessionBus();
    Backend backend(QString::fromLocal8Bit(argv[2]),
                    argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &backend) ||
        !bus.registerService(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "fakeportal: cannot register on the session bus\n");
        return 1;
    }
    return QCoreApplication::exec();
}
