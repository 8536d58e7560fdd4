// Mozilla User Preferences

user_pref("browser.download.dir", "C:\\Users\\Bob\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\b0bff3x7.default-release\\downloads");
user_pref("browser.startup.homepage", "https://example.org/");
