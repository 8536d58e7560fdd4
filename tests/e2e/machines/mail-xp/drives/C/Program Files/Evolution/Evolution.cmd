@echo off
set PATH=%~dp0bin;%PATH%
start "" "%~dp0bin\evolution.exe" %*
