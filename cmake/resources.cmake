# The program's resources: icons, bitmaps, the manifest and the version information.
set(DORVANE_RESOURCE_SOURCES "")
