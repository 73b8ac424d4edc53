#pragma once
// The process-wide flags several windows share. All false at start; only the
// GUI thread reads or writes them.
struct ProgramFlags {
    bool DownloadMode = false;     // received characters go to the download capture
    bool DataDownloaded = false;   // a download completed in this run
    bool ClockSetRequest = false;  // the clock-set command waits for the next reception
    bool SkipPortSetup = false;    // the main window's activation no longer opens port setup
};

ProgramFlags& Flags();
