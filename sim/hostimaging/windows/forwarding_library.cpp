// The four host libraries hold no code of their own: their export tables
// (the .def files) forward each function to hostimaging.dll.
