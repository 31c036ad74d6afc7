#pragma once

class Application;

// Starts the toolkit, runs the application's start-up on the desktop platform, and returns the
// program's exit code once it has ended.
int runDesktopApplication(int argc, char** argv, Application& application);
