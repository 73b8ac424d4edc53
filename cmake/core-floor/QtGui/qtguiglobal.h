// Stands in for Qt Gui's own first header in the libraries of the core
// floor, which link Qt Core alone: every Qt Gui and Qt Widgets header
// includes this one, so such a header in a core file stops the build here,
// in every build, rather than in a review or at link time on a machine
// without a desktop.
#error "a core library includes a Qt Gui or Widgets header: the core floor links Qt Core alone"
