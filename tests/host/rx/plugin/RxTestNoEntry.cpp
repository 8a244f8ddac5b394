// A library that is no plug-in: it exports no entry point.
extern "C" int rxTestNotAnApp() { return 1; }
