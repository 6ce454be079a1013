// The plug-in's two exports (filled in with the plug-in itself).
