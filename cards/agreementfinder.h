// Picks the protocol catalogue for the system language, and tells the user
// when there is none.
#ifndef AGREEMENTFINDER_H
#define AGREEMENTFINDER_H

#include <QString>

// The file name (without folder) of the catalogue for the system locale;
// false, after a modal error box, when the catalogue folder holds none.
bool findAgreementFile(QString &fileName);

#endif // AGREEMENTFINDER_H
