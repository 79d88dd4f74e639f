@echo off
rem Tells Nimbrel that its data files are in this folder. The value must end in a
rem backslash; the doubled one before the closing quote leaves exactly one.
reg add "HKCU\Software\Nimbrel" /v Directory /t REG_SZ /d "%~dp0\" /f
if errorlevel 1 (
    echo Could not write the registry value.
) else (
    echo Nimbrel will use the data files in %~dp0
)
pause
