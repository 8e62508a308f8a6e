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

subtest 'a wrong password or an unknown name ends the bot with the reason' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    for ([ password => qr/the AIM server says the password is wrong \(Invalid password\.\); check it in Settings/ ],
        [ name => qr/the AIM server does not know this screen name \(Invalid screenname\.\); check it in Settings/ ])
    {
        my ($reason, $said) = @$_;
        my $detail = $reason eq 'name' ? 'Invalid screenname.' : 'Invalid password.';
        my ($bot, $t) = bot_on($f, "signon $reason $detail\n");
        is $bot->run, 2, $reason;
        like $f->first_line('results.txt'), qr/\ACould not sign on as joebot: $said/;
        is $f->first_line('control.txt'), 'Not connected';
        is_deeply [$t->signons],
          [{ screen_name => 'joebot', password => 'secret', server => '', buddies => [] }],
          'not tried again';
    }
};

# The times of the next sign-on that the status names, one per failure, as
# the bot goes through a script.
sub retry_times {
    my ($f, $script) = @_;
    my ($bot, $t) = bot_on($f, "clock 2024-05-01 10:00\n$script");
    $bot->start;
    my @times;
    until (defined $bot->exit_code) {
        $bot->step(1);
        my $status = $f->first_line('results.txt');
        push @times, $1 if $status =~ /trying again at (\S+)\z/ && (!@times || $times[-1] ne $1);
    }
    return @times;
}

subtest 'no server: said, and tried again after waits that grow to five minutes' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    $f->put('Kavri.ini', "reconnect_delay = 10\r\n");
    my ($bot, $t) = bot_on($f, "clock 2024-05-01 10:00\nsignon network host not found\n");
    $bot->start;
    $bot->step(0);
    is $f->first_line('results.txt'), 'Could not reach the AIM server (host not found); trying again at 10:00:10';
    is $f->first_line('control.txt'), 'Not connected';

    my @times = retry_times($f, join('', map {"signon network down\n"} 1 .. 6) . "signon ok\nquit\n");
    is_deeply \@times, [qw(10:00:10 10:00:30 10:01:10 10:02:30 10:07:30 10:12:30)];
    is $f->first_line('results.txt'), 'Signed off as joebot, 0 messages received', 'and then signed on';

    $f->put('Kavri.ini', "reconnect_delay = 0\r\n");
    ($bot, $t) = bot_on($f, "signon network unreachable\n");
    is $bot->run, 3, 'with reconnect_delay 0 the bot gives up';
    is $f->first_line('results.txt'),
      'Could not reach the AIM server (unreachable); the bot has stopped (reconnect_delay is 0)';
};

subtest 'a lost connection is said, and the bot signs on again; the waits start over after a lasting connection' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    $f->put('Kavri.ini', "reconnect_delay = 30\r\n");
    my ($bot, $t) = bot_on($f, "clock 2024-05-01 10:00\nim bob hi\ndisconnect\nim bob back\n");
    $bot->start;
    $bot->step(0) for 1 .. 3;
    is $f->first_line('control.txt'), 'Not connected';
    is $f->first_line('results.txt'), 'The connection to AIM was lost; trying again at 10:00:30';
    $bot->step(1) until $f->first_line('control.txt') eq 'Connected!';
    $bot->run;
    is scalar($t->signons), 2;
    is_deeply [TestFolder::texts_to($t, 'bob')], ['GREETING', 'AWAY TEXT'],
      'the greeting once, over both connections';

    is_deeply [retry_times($f, "disconnect\nim bob x\ndisconnect\nim bob y\nsleep 400\ndisconnect\nquit\n")],
      [qw(10:00:30 10:01:30 10:08:40)];
};

subtest 'settings that cannot sign on, and a network part that cannot start' => sub {
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
