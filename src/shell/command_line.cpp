#include "shell/command_line.h"

#include "files/sketch_png.h"
#include "platform/app_info.h"
#include "platform/file_error.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

namespace {

constexpr char kExportPng[] = "export-png";

// Options QGuiApplication and QApplication take out of argv themselves; listed so that the
// parser, which sees argv first, does not reject them.
constexpr const char* kQtValueOptions[]
    = {"platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
       "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
       "style",       "stylesheet",         "qmljsdebugger"};
constexpr const char* kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb"};

void describe(QCommandLineParser& parser)
{
    // Qt's options are single-dash words ("-platform"); read "-x" and "--x" alike.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("%1: draw one-pixel lines with the arrow keys.").arg(AppInfo::title()));
    parser.addOption(
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                           QStringLiteral("Show this help and end.")));
    parser.addOption(
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QStringLiteral("Show the program's name and version and end.")));
    parser.addOption(QCommandLineOption(
        QLatin1String(kExportPng),
        QStringLiteral("Write the sketch IN.nsd as a 582 x 485 PNG picture OUT.png and end, "
                       "without opening a window.")));
    parser.addPositionalArgument(QStringLiteral("FILE.nsd"),
                                 QStringLiteral("A sketch to open once the window appears."),
                                 QStringLiteral("[FILE.nsd | IN.nsd OUT.png]"));
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option{QString::fromLatin1(name), QString(), QStringLiteral("value")};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine failure(const QString& error)
{
    CommandLine command;
    command.action = CommandLine::Action::Fail;
    command.error = error;
    return command;
}

QString absolute(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

QString unreadableName(const QString& name)
{
    return QStringLiteral(
               "The file name %1 cannot be used: it is not valid in this system's encoding.")
        .arg(name);
}

// Qt names an unknown option without its dashes; it is shown as typed, with the way to open a
// file whose name begins with a dash.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& argument : arguments.mid(1)) {
        const QString option = argument.section(QLatin1Char('='), 0, 0);
        if (!unknown.isEmpty()
            && (option == QLatin1Char('-') + unknown[0]
                || option == QLatin1String("--") + unknown[0]))
            return QStringLiteral("Unknown option '%1' (see --help); to open a file of that "
                                  "name, write ./%1 or put -- before it.")
                .arg(argument);
    }
    return parser.errorText() + QStringLiteral(" Try --help.");
}

}  // namespace

CommandLine CommandLine::parseNative(int argc, const char* const argv[])
{
    QStringList arguments;
    QSet<QString> inexact;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        const QString decoded = QFile::decodeName(bytes);
        if (QFile::encodeName(decoded) != bytes)
            inexact.insert(absolute(decoded));
        arguments << decoded;
    }
    CommandLine command = parse(arguments);
    // A name Qt cannot hold exactly would lead to some other file: it is refused.
    for (const QString& name : {command.sketchPath, command.pngPath}) {
        if (name.isEmpty() || !inexact.contains(name))
            continue;
        if (command.action == Action::ExportPng)
            return failure(unreadableName(SketchFile::displayPath(name)));
        command.error = unreadableName(SketchFile::displayPath(name));
        command.sketchPath.clear();
        break;
    }
    return command;
}

CommandLine CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return failure(parseError(parser, arguments));

    CommandLine command;
    if (parser.isSet(QStringLiteral("help"))) {
        command.action = Action::ShowHelp;
        return command;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        command.action = Action::ShowVersion;
        return command;
    }

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(QLatin1String(kExportPng))) {
        if (files.size() != 2)
            return failure(QStringLiteral(
                "--export-png takes a sketch and a picture: --export-png IN.nsd OUT.png."));
        command.action = Action::ExportPng;
        command.sketchPath = absolute(files[0]);
        command.pngPath = absolute(files[1]);
        return command;
    }
    if (files.size() > 1)
        return failure(QStringLiteral("Only one sketch can be opened at a time."));
    // Whatever is wrong with the file is for Open Sketch to find and show on the board.
    if (files.size() == 1)
        command.sketchPath = absolute(files[0]);
    return command;
}

int runWithoutWindow(const CommandLine& command, QTextStream& out, QTextStream& err)
{
    const auto complain = [&err](const QString& message) {
        err << QStringLiteral("nimbolt-sketch: ") << message << Qt::endl;
    };
    switch (command.action) {
    case CommandLine::Action::ShowHelp: {
        QCommandLineParser parser;
        describe(parser);
        out << parser.helpText();
        out.flush();
        return 0;
    }
    case CommandLine::Action::ShowVersion:
        out << AppInfo::title() << ' ' << AppInfo::version() << Qt::endl;
        return 0;
    case CommandLine::Action::ExportPng:
        try {
            SketchPng::exportFile(command.sketchPath, command.pngPath);
            return 0;
        } catch (const FileError& e) {
            complain(e.message());
            return 1;
        }
    case CommandLine::Action::Fail:
        complain(command.error);
        return 2;
    case CommandLine::Action::OpenWindow:
        break;
    }
    complain(QStringLiteral("Opening a window is not done here."));
    return 2;
}
