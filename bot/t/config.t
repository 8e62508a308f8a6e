use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Config;

sub load { Tolvane::Config->load($_[0]->data) }

sub notes_like {
    my ($config, $re, $name) = @_;
    ok((grep { $_ =~ $re } $config->notes), $name) or diag join "\n", $config->notes;
}

subtest 'settings.txt: ten lines, flags count when the first character is 1' => sub {
    my $f = TestFolder->new;
    $f->put('settings.txt', join '', map { "$_\r\n" } 'me', 'pw', 'Kavri', 'Joe', '10', '1 ',
        ' 1', 'true', 'Joe is out', 'Hi there');
    my $c = load($f);
    is $c->fatal, undef;
    is $c->setting('screen_name'), 'me';
    is $c->setting('password'), 'pw';
    is $c->setting('owner'), 'Joe';
    is $c->setting('require_trusted'), 1, '"10" is on';
    is $c->setting('save_away'), 1, '"1 " is on';
    is $c->setting('start_with_windows'), 0, '" 1" is off';
    is $c->setting('auto_connect'), 0, '"true" is off';
    is $c->setting('away_text'), 'Joe is out';
    is $c->setting('greeting'), 'Hi there';
    is_deeply [$c->notes], [], 'a full file gives no notes';
};

subtest 'settings.txt with missing lines: taken as empty, lines 9 and 10 composed' => sub {
    my $f = TestFolder->new;
    $f->put('settings.txt', "me\r\npw\r\nKavri\r\nJoe\r\n");
    my $c = load($f);
    is $c->fatal, undef;
    is $c->setting('require_trusted'), 0;
    like $c->setting('away_text'), qr/\AJoe is away right now\. If you message the AI/;
    like $c->setting('greeting'),
      qr/\AHello, you've reached Kavri in charge of taking messages for Joe\. He's not here/;
    notes_like $c, qr/settings\.txt has 4 of its 10 lines/;
};

subtest 'settings that make signing on impossible are the status' => sub {
    my $f = TestFolder->new;
    like load($f)->fatal, qr/settings\.txt is missing/;
    $f->put('settings.txt', '');
    like load($f)->fatal, qr/No AIM user name/, 'the empty file of the first run';
    $f->put('settings.txt', "me\r\n\r\n");
    like load($f)->fatal, qr/No AIM password/;
    unlink $f->path('settings.txt');
    mkdir $f->path('settings.txt');
    like load($f)->fatal, qr/Cannot read settings\.txt/, 'unreadable: said, not a crash';
};

subtest 'contact.txt: five lines, fewer are empty' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('contact.txt', "555-1234\r\nhttp://joe.example\r\n");
    my $c = load($f)->contact;
    is $c->{phone}, '555-1234';
    is $c->{homepage}, 'http://joe.example';
    is $c->{email}, '';
    is $c->{websites}, '';
};

subtest 'trusted list: first line only, names without case or blanks' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('trustedlist.txt', "Alice|john doe|carol\r\ndave|\r\n");
    my $c = load($f);
    ok $c->is_trusted('alice');
    ok $c->is_trusted('JohnDoe');
    ok !$c->is_trusted('carol'), 'text after the last bar is no name';
    ok !$c->is_trusted('dave'), 'the second line is not read';
    notes_like $c, qr/trustedlist\.txt: the text after the last "\|" is ignored: "carol"/;
    notes_like $c, qr/trustedlist\.txt: only the first line is read/;
};

subtest 'away and deliver lists read their message files, older line breaks too' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('buddya.txt', "bob|amy|ghost|\r\n");
    $f->put('boba.txt', "Gone fishing\r\r\nback at 5\r\r\n");
    $f->put('amya.txt', "Line one\r\nline two");
    $f->put('buddym.txt', "bob|\r\n");
    $f->put('bob.txt', "Your book is on the desk");
    my $c = load($f);
    is $c->away_message('Bob'), "Gone fishing\nback at 5";
    is $c->away_message('amy'), "Line one\nline two";
    is $c->away_message('ghost'), '';
    notes_like $c, qr/ghosta\.txt is missing/;
    is $c->delivery('bob')->{text}, 'Your book is on the desk';
    is $c->delivery('amy'), undef;
};

subtest 'unsafe names from hand-edited lists: listed in a note, their files never read' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('buddya.txt', "buddy|..\\x|con.x|ok|\r\n");
    $f->put('oka.txt', 'fine');
    $f->put('buddym.txt', "settings|\r\n");
    my $c = load($f);
    is $c->away_message('buddy'), '', 'buddya.txt is not taken for the message of buddy';
    is $c->delivery('settings'), undef, 'settings.txt is not delivered';
    is $c->away_message('ok'), 'fine';
    notes_like $c, qr/buddya\.txt: the buddy "buddy" is skipped: its message file would be buddya\.txt/;
    notes_like $c, qr/the buddy "\.\.\\x" is skipped/;
    notes_like $c, qr/the buddy "con\.x" is skipped: .*device/;
    notes_like $c, qr/buddym\.txt: the buddy "settings" is skipped/;
};

subtest 'an unreadable message file is a note' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('buddya.txt', "bob|\r\n");
    mkdir $f->path('boba.txt');
    my $c = load($f);
    is $c->away_message('bob'), '';
    notes_like $c, qr/Cannot read boba\.txt/;
};

subtest 'schedule.txt: H:MM:name lines; malformed ones noted and skipped' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('schedule.txt', join "\r\n", '9:05:bob', '14:30:john doe', 'hello', '25:00:bob',
        '24:60:amy', '9:05:bob:x', '7:00:setting', '');
    $f->put('bobs.txt', "At the dentist\r\n");
    $f->put('john does.txt', 'Lunch');
    $f->put('amys.txt', 'Late');
    my $c = load($f);
    my @bob = $c->schedule_of('bob');
    is scalar @bob, 1;
    is $bob[0]{minute}, 9 * 60 + 5;
    is $bob[0]{text}, 'At the dentist';
    my ($john) = $c->schedule_of('John Doe');
    is $john->{minute}, 14 * 60 + 30, 'a name with blanks comes back whole';
    is $john->{text}, 'Lunch', 'from "john does.txt"';
    my ($amy) = $c->schedule_of('amy');
    is $amy->{minute}, 60, '24:60 is one o\'clock';
    notes_like $c, qr/line 3 is not hours:minutes:buddy and is ignored: "hello"/;
    notes_like $c, qr/line 4 has no time of day/;
    notes_like $c, qr/the buddy "bob:x" is skipped/;
    notes_like $c, qr/the buddy "setting" is skipped/;
    is scalar(() = $c->notes), 4, 'the empty last line is no entry';
};

subtest 'Kavri.ini: known options with numbers, the rest noted' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('Kavri.ini', "# options\r\nanswer_interval = 0.5\r\nreconnect_delay = soon\r\ncolour=red\r\n");
    my $c = load($f);
    is $c->option('answer_interval'), 0.5;
    my $usual = do { $f->put('Kavri.ini', ''); load($f)->option('reconnect_delay') };
    is $c->option('reconnect_delay'), $usual, 'a bad number keeps the usual value';
    notes_like $c, qr/reconnect_delay must be a number/;
    notes_like $c, qr/line 4 is not an option/;
};

done_testing;
