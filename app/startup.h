#pragma once
// Creating and destroying the program's windows, in the program's order:
// main window, About, Help, Downloaded data, Chart, Sampling rate, Clock set,
// Live thermometers. Each is kept in its global instance Form1 .. Form8.
void CreateForms();
void DestroyForms();
