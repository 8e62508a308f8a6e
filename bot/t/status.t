# The status files that the panel polls: results.txt and control.txt.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Bot;
use Tolvane::Status;
use Tolvane::Transport::Scripted;

sub bot_on {
    my ($f, $script) = @_;
    my $t = Tolvane::Transport::Scripted->new(script => $script, end => 'quit');
    return (Tolvane::Bot->new(dir => $f->data, transport => $t), $t);
}

subtest 'an old "Connected!" is replaced at once; then signing on, then connected' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    $f->put('control.txt', "Connected!\r\n");
    my ($bot) = bot_on($f, "clock 2024-05-01 10:00\nim bob hi\nim amy hi\n");
    ok $bot->start;
    is $f->first_line('control.txt'), 'Not connected';
    is $f->first_line('results.txt'), 'Signing on as joebot';
    $bot->step(0);
    is $f->get('control.txt'), "Connected!\r\n", 'exactly "Connected!" and a line end';
    is $f->first_line('results.txt'), 'Connected as joebot, 0 messages received';
    $bot->step(0);
    is $f->first_line('results.txt'), 'Connected as joebot, 1 message received';
    $bot->step(0);
    is $f->first_line('results.txt'), 'Connected as joebot, 2 messages received';
    $bot->step(0);
    is $bot->exit_code, 0;
    is $f->first_line('control.txt'), 'Not connected', 'the end of the run is no longer connected';
    is $f->first_line('results.txt'), 'Signed off as joebot, 2 messages received';
};

subtest 'a wrong password ends the bot with the reason' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    my ($bot, $t) = bot_on($f, "signon password Invalid screen name or password\n");
    is $bot->run, 2;
    like $f->first_line('results.txt'),
      qr/\ACould not sign on as joebot: wrong AIM user name or password \(Invalid .*\); check them in Settings\z/;
    is $f->first_line('control.txt'), 'Not connected';
    is scalar($t->signons), 1, 'not tried again';
    is_deeply [$t->signons]->[0], { screen_name => 'joebot', password => 'secret', server => '' };
};

subtest 'no network: said, and tried again after the delay' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    my ($bot, $t) = bot_on($f, "clock 2024-05-01 10:00\nsignon network host not found\nsignon ok\nsleep 1\n");
    $bot->start;
    $bot->step(0);
    is $f->first_line('results.txt'),
      'Could not reach the AIM server (host not found): is there a network?; trying again at 10:01:00';
    is $f->first_line('control.txt'), 'Not connected';
    $bot->step(1) until $f->first_line('control.txt') eq 'Connected!' || defined $bot->exit_code;
    is $f->first_line('control.txt'), 'Connected!';
    is scalar($t->signons), 2;
    is $t->now, Time::Local::timelocal(0, 1, 10, 1, 4, 2024), 'a minute later';

    $f->put('Kavri.ini', "reconnect_delay = 0\r\n");
    ($bot, $t) = bot_on($f, "signon network unreachable\n");
    is $bot->run, 3, 'with reconnect_delay 0 the bot gives up';
    is $f->first_line('results.txt'), 'Could not reach the AIM server (unreachable): is there a network?';
};

subtest 'a lost connection is said, and the bot signs on again' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    my ($bot, $t) = bot_on($f, "clock 2024-05-01 10:00\nim bob hi\ndisconnect\nim bob back\n");
    $bot->start;
    $bot->step(0) for 1 .. 3;
    is $f->first_line('control.txt'), 'Not connected';
    is $f->first_line('results.txt'), 'The connection to AIM was lost; trying again at 10:01:00';
    $bot->step(1) until $f->first_line('control.txt') eq 'Connected!';
    $bot->run;
    is scalar($t->signons), 2;
    is_deeply [TestFolder::texts_to($t, 'bob')], ['GREETING', 'AWAY TEXT'],
      'the greeting once, over both connections';
};

subtest 'settings that cannot sign on, and a network package that is missing' => sub {
    my $f = TestFolder->new;
    $f->put('control.txt', "Connected!\r\n");
    my ($bot) = bot_on($f, '');
    is $bot->run, 1;
    like $f->first_line('results.txt'), qr/\Asettings\.txt is missing/;
    is $f->first_line('control.txt'), 'Not connected';

    $f->settings(password => '');
    ($bot) = bot_on($f, '');
    is $bot->run, 1;
    like $f->first_line('results.txt'), qr/\ANo AIM password in Settings/;

    $f->settings;
    $bot = Tolvane::Bot->new(dir => $f->data,
        transport => sub { die { missing => 'Net::OSCAR', install => 'ppm install Net-OSCAR' } });
    is $bot->run, 1;
    is $f->first_line('results.txt'),
      'Net::OSCAR is not installed: install it with the command "ppm install Net-OSCAR" and press Start again';
    $bot = Tolvane::Bot->new(dir => $f->data, transport => sub { die "no socket support\n" });
    $bot->run;
    is $f->first_line('results.txt'), 'Cannot start the network part of the bot: no socket support';
};

subtest 'notes about the files stand below the status line' => sub {
    my $f = TestFolder->new;
    $f->put('settings.txt', "joebot\r\npw\r\n");
    $f->put('trustedlist.txt', "alice|bo");
    my ($bot) = bot_on($f, "clock 2024-05-01 10:00\n");
    $bot->run;
    my @lines = split /\r\n/, $f->get('results.txt');
    is $lines[0], 'Signed off as joebot, 0 messages received';
    like $lines[1], qr/settings\.txt has 2 of its 10 lines/;
    like $lines[2], qr/trustedlist\.txt: the text after the last "\|" is ignored: "bo"/;
    is scalar @lines, 3;
};

subtest 'a status is one line of at most 499 characters' => sub {
    my $f = TestFolder->new;
    my $s = Tolvane::Status->new($f->data);
    $s->status("two\nlines");
    is $f->get('results.txt'), "two lines\r\n";
    $s->status('x' x 700);
    is length $f->first_line('results.txt'), 499;
};

subtest 'a reader never sees a part of a status file' => sub {
    my $f = TestFolder->new;
    my $s = Tolvane::Status->new($f->data);
    $s->set_notes('a note about a file');
    $s->status('status 0');
    my $pid = open(my $from_child, '-|') // die "fork: $!";
    if (!$pid) {
        my $bad = 0;
        for (1 .. 3000) {
            my $data = $f->get('results.txt');
            $bad++ unless defined $data && $data =~ /\Astatus \d+\r\na note about a file\r\n\z/;
        }
        print $bad;
        exit 0;
    }
    $s->status("status $_") for 1 .. 1500;
    my $bad = <$from_child>;
    close $from_child;
    is $bad, 0, 'every read saw a whole file';
};

done_testing;
