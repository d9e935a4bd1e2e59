ECHO OFF
/mnt/win
CD /mnt/win/CVBack
ECHO Corvane is restoring system files from your last Registry Backup
attrib -r -s -h /mnt/win/CVBack/Command.com
attrib -r -s -h /mnt/win/Command.com
copy /mnt/win/CVBack/Command.com /mnt/win/Command.com
attrib -r +a -s -h /mnt/win/Command.com
attrib -r -s -h /mnt/win/CVBack/System.dat
attrib -r -s -h /mnt/win/CVBack/System.ini
attrib -r -s -h /mnt/win/CVBack/User.dat
attrib -r -s -h /mnt/win/CVBack/Win.ini
attrib -r -s -h /mnt/win/CVBack/Autoexec.bat
attrib -r -s -h /mnt/win/CVBack/Msdos.sys
attrib -r -s -h /mnt/win/WINDOWS/System.dat
attrib -r -s -h /mnt/win/WINDOWS/System.ini
attrib -r -s -h /mnt/win/WINDOWS/User.dat
attrib -r -s -h /mnt/win/WINDOWS/Win.ini
attrib -r -s -h /mnt/win/Autoexec.bat
attrib -r -s -h /mnt/win/Msdos.sys
copy /mnt/win/CVBack/Attrib.exe /mnt/win/WINDOWS/Command
copy /mnt/win/CVBack/System.dat /mnt/win/WINDOWS
copy /mnt/win/CVBack/System.ini /mnt/win/WINDOWS
copy /mnt/win/CVBack/User.dat /mnt/win/WINDOWS
copy /mnt/win/CVBack/Win.ini /mnt/win/WINDOWS
copy /mnt/win/CVBack/Autoexec.bat /mnt/win/
copy /mnt/win/CVBack/Msdos.sys /mnt/win/
attrib +r +a +s +h /mnt/win/WINDOWS/System.dat
attrib -r +a -s -h /mnt/win/WINDOWS/System.ini
attrib +r +a +s +h /mnt/win/WINDOWS/User.dat
attrib -r +a -s -h /mnt/win/WINDOWS/win.ini
attrib -r +a -s -h /mnt/win/Autoexec.bat
attrib +r +a +s +h /mnt/win/Msdos.sys
ECHO Corvane has restored your Registry Backup
ECHO If Windows does not start then do the following:
ECHO [1]  Remove the Rescue Disk from the A: drive.
ECHO [2]  Press CTRL-ALT-DEL to restart your computer.
ECHO ON
