// Faults the simulator injects on demand, all off by default. The module-side
// ones change what the module answers; the link-side ones change how a reply
// travels (see SimEndpoint and ReplyScheduler).
#ifndef SIMFAULTS_H
#define SIMFAULTS_H

#include <QByteArray>
#include <QList>

struct SimFaults {
    // Module side.
    // Write-all answers 01, write-port is not acknowledged; nothing is stored.
    bool failWrites = false;
    // Every reply one byte short; one-byte acknowledgements get a stray 00.
    bool wrongLength = false;
    // Read-port replies carry the port index with bit 7 flipped.
    bool wrongIndex = false;
    // Write-port acknowledgements carry this index instead of the port
    // written (-1 = the port written); the record is stored all the same.
    int ackIndex = -1;
    // Read-port replies carry this index and the record of that port,
    // whatever port was asked for (-1 = the port asked for).
    int stuckReadIndex = -1;

    // Link side.
    int dropEvery = 0;         // lose every Nth reply frame (0 = never)
    int corruptEvery = 0;      // spoil the checksum of every Nth reply frame (0 = never)
    bool garbage = false;      // a few stray bytes before every reply frame
    bool split = false;        // a reply goes out in small pieces, a short pause between them
    int delayMs = 0;           // hold every reply this long
    bool baudPacing = false;   // hold every reply for its wire time at 115200 baud, 10 bits a byte
    QList<QByteArray> unasked; // frames sent without a request (on SIGUSR1, or see below)
    int unaskedAfter = 0;      // send them once after this many replies went out (0 = never)
};

#endif // SIMFAULTS_H
