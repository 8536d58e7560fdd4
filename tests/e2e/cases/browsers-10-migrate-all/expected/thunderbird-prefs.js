// Mozilla User Preferences

user_pref("mail.root.none", "C:\\Users\\Bob\\AppData\\Roaming\\Thunderbird\\Profiles\\b0btb6r4.default-release\\Mail");
user_pref("mail.server.server1.hostname", "Local Folders");
