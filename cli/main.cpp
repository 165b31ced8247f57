// tovrinctl: the configuration tool without a window, for scripts and for
// batches of modules.
#include "ctloptions.h"
#include "ctlrun.h"
#include "printabletext.h"
#include "provisionrun.h"
#include "tovrinversion.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tovrinctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVRIN_VERSION));

    CtlOptions options;
    QString error;
    if (!CtlOptions::parse(QCoreApplication::arguments(), &options, &error)) {
        std::fprintf(stderr, "tovrinctl: %s Nothing sent; --help lists the commands.\n",
                     PrintableText::escaped(error).toUtf8().constData());
        return 2;
    }
    if (options.help) {
        std::fputs(CtlOptions::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tovrinctl %s\n", TOVRIN_VERSION);
        return 0;
    }
    if (options.command == CtlOptions::Command::Provision) {
        ProvisionRun provision(options);
        return provision.exec();
    }
    CtlRun run(options);
    return run.exec();
}
