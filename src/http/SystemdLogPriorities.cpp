#include "http/SystemdLogPriorities.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <sys/stat.h>
#include <unistd.h>

namespace itinerary {

void prefixLogPrioritiesForTheJournal() {
    // systemd sets "DEVICE:INODE" of the stream it connected; a child whose standard error
    // was redirected elsewhere inherits the variable, hence the comparison.
    const QByteArray journal = qgetenv("JOURNAL_STREAM");
    struct stat standardError {};
    if (journal.isEmpty() || ::fstat(STDERR_FILENO, &standardError) != 0)
        return;
    if (journal != QByteArray::number(quint64(standardError.st_dev)) + ':' +
                       QByteArray::number(quint64(standardError.st_ino)))
        return;
    qSetMessagePattern(QStringLiteral("%{if-debug}<7>%{endif}%{if-info}<6>%{endif}"
                                      "%{if-warning}<4>%{endif}%{if-critical}<3>%{endif}"
                                      "%{if-fatal}<2>%{endif}%{if-category}%{category}: %{endif}"
                                      "%{message}"));
}

} // namespace itinerary
