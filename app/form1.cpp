// placeholder, replaced by the main window
