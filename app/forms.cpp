#include "app/form1.h"
#include "app/startup.h"
#include "toolkit/desktop.h"
#include "windows/form5.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form6.h"
#include "windows/form7.h"
#include "windows/form8.h"

void CreateForms()
{
    Application::InstallErrorBox();
    // The order is the program's: the first window created is the main one.
    Form1 = new TForm1;
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form5 = new TForm5;
    Form6 = new TForm6;
    Form7 = new TForm7;
    Form8 = new TForm8;
    Form4 = new TForm4;
}

void DestroyForms()
{
    // The port closes first, while every window it may touch still exists.
    delete Form1;
    Form1 = nullptr;
    delete Form4;
    Form4 = nullptr;
    delete Form8;
    Form8 = nullptr;
    delete Form7;
    Form7 = nullptr;
    delete Form6;
    Form6 = nullptr;
    delete Form5;
    Form5 = nullptr;
    delete Form3;
    Form3 = nullptr;
    delete Form2;
    Form2 = nullptr;
}

void ShowChartWindow()
{
    Form6->ShowModal();
}
