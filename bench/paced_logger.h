#pragma once
// The logger both download figures are measured against: a full memory of
// 2000 samples at the 5-minute rate, written at 115200 8N1 as the real line
// would carry it, its end marker after a short pause.
#include "sim/simulator.h"

#include <QTemporaryDir>

// `transferDelayMs`: from "X" to the first byte, chosen so the transfer
// starts right after the front end's clear step.
inline SimOptions PacedFullMemory(const QTemporaryDir& dir, int transferDelayMs)
{
    SimOptions o;
    o.portsFolder = dir.path().toStdString();
    o.makeLink = false;
    o.paced = true;
    o.samples = 2000;
    o.rateCode = 2;
    o.transferDelayMs = transferDelayMs;
    o.markerPauseMs = 30;
    return o;
}
