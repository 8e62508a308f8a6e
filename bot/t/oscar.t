# The transport for the real network, against a stand-in of Net::OSCAR
# (t/fake) that behaves as the package does: what the bot asks of the
# package, what it makes of the package's callbacks, and how it comes back
# after every fault. Whether a real server answers is not tested here.
use strict;
use warnings;
use Test::More;
use FindBin ();
use Socket qw(AF_UNIX SOCK_STREAM PF_UNSPEC);
use Time::HiRes ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
no warnings 'once';

subtest 'a missing Net::OSCAR is told apart from other failures' => sub {
    local @INC = ("$FindBin::Bin/no-oscar", @INC);
    require Tolvane::Transport::OSCAR;
    my $t = eval { Tolvane::Transport::OSCAR->new };
    is $@->{missing}, 'Net::OSCAR';
    ok scalar(grep {/\Acpanm? Net::OSCAR\z/} @{ $@->{install} }), 'the package managers of today';
    ok scalar(grep { $_ eq 'ppm install Net-OSCAR' } @{ $@->{install} }), 'and ppm';
    delete $INC{'Net/OSCAR.pm'};
};

unshift @INC, "$FindBin::Bin/fake";
require Tolvane::Transport::OSCAR;

sub last_oscar { $Net::OSCAR::made[-1] }

# Polls until an event comes, for at most $limit seconds.
sub events_within {
    my ($t, $limit) = @_;
    my $until = Time::HiRes::time() + $limit;
    my @events;
    @events = $t->poll(0.05) until @events || Time::HiRes::time() > $until;
    return @events;
}

sub signed_on {
    my (%server) = @_;
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'joebot', password => 'pw', server => 'aim.example:5190',
        buddies => delete $server{watch} || []);
    last_oscar->server_accepts(%server);
    is_deeply [$t->poll(0)], [{ type => 'signed_on' }];
    return ($t, last_oscar);
}

subtest 'signing on: account and server handed over, and a new object for every sign-on' => sub {
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'joebot', password => 'pw', server => 'aim.example:5190');
    my $first = last_oscar;
    is_deeply $first->{signon},
      { screenname => 'joebot', password => 'pw', host => 'aim.example', port => 5190 };
    $first->server_refuses("Couldn't connect to aim.example:5190: Connection refused");
    my ($failed) = $t->poll(0);
    is $failed->{type}, 'signon_failed';
    is_deeply $first, {}, 'the package emptied its object';

    $t->signon(screen_name => 'joebot', password => 'pw');
    isnt last_oscar, $first, 'a new object';
    last_oscar->server_accepts;
    is_deeply [$t->poll(0)], [{ type => 'signed_on' }], 'and it signs on';
};

subtest 'a first frame in pieces: signed on again at once, a few times' => sub {
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'joebot', password => 'pw', server => 'aim.example');
    my ($signons, @events) = (1);
    until (@events || $signons > 10) {
        my $o = last_oscar;
        $o->server_refuses('Got bad connack from server');
        @events = $t->poll(0);
        next if @events;
        $signons++;
        isnt last_oscar, $o, 'again, with a new object';
        is last_oscar->{signon}{host}, 'aim.example';
    }
    cmp_ok $signons, '>', 1, 'signed on again';
    is_deeply \@events, [{ type => 'signon_failed', reason => 'other', detail => 'Got bad connack from server' }],
      'then it counts as failed';
};

subtest 'messages in: HTML made plain, automatic replies marked' => sub {
    my ($t, $o) = signed_on();
    $o->fire('im_in', 'Bob', '<HTML><BODY>Hi &amp; <b>bye</b><br>x &lt;3 &#65;</BODY></HTML>', 0);
    $o->fire('im_in', 'amy', 'I am away', 1);
    is_deeply [$t->poll(0)], [
        { type => 'im', from => 'Bob', text => "Hi & bye\nx <3 A", auto => 0 },
        { type => 'im', from => 'amy', text => 'I am away', auto => 1 },
    ];
};

subtest 'messages out: escaped, marked as automatic replies, long ones in parts' => sub {
    my ($t, $o) = signed_on();
    my $text = "a < b & c\nnext";
    is $t->send_im('bob', $text), length $text;
    is_deeply $o->{sent}, [['bob', 'a &lt; b &amp; c<br>next', 1]];

    # Longer than the package takes at once, and longer still as HTML.
    my $long = join ' ', map {"word$_ & <more>"} 1 .. 800;
    $o->{sent} = [];
    is $t->send_im('bob', $long), length $long, 'all of it went out';
    cmp_ok scalar @{ $o->{sent} }, '>', 1, 'in parts';
    is join('', map { Tolvane::Transport::OSCAR::html_to_text($_->[1]) } @{ $o->{sent} }), $long,
      'the parts make the whole text';

    $o->server_drops;
    is $t->send_im('bob', 'x'), 0, 'nothing goes out once the connection is gone';
};

subtest 'buddies: online, away messages, and the ones to watch put on the server list' => sub {
    my ($t, $o) = signed_on(watch => [qw(amy bob)], buddies => { Friends => ['Amy'] });
    is_deeply $o->{commits}, [{ Friends => ['Amy'], Buddies => ['bob'] }],
      'bob added, the list kept';
    $o->fire('buddy_in', 'bob', 'Buddies', { away => 1 });
    $o->fire('buddy_in', 'amy', 'Friends', {});
    is_deeply $o->{asked}, ['away bob'];
    $o->fire('buddy_info', 'bob', { awaymsg => 'Out <i>to</i> lunch' });
    is_deeply [$t->poll(0)], [
        { type => 'buddy_online', who => 'bob' },
        { type => 'buddy_online', who => 'amy' },
        { type => 'buddy_away', who => 'bob', text => 'Out to lunch' },
    ];
};

subtest 'sign-on failures by their reason, all through the callbacks' => sub {
    for ([ 'Invalid password.' => 'password' ],
        [ 'Invalid screenname.' => 'name' ],
        [ "You've been connecting too frequently." => 'rate' ],
        [ "Couldn't connect to login.example:5190: Connection refused" => 'network' ],
        [ 'Lost connection to BOS' => 'network' ],
        [ 'Account suspended' => 'other' ])
    {
        my ($text, $reason) = @$_;
        my $t = Tolvane::Transport::OSCAR->new;
        $t->signon(screen_name => 'x', password => 'y');
        last_oscar->server_refuses($text);
        my ($event, @more) = $t->poll(0);
        is $event->{reason}, $reason, $text;
        is scalar @more, 0;
        is $t->send_im('bob', 'x'), 0, 'nothing is sent before signing on';
    }
};

subtest 'a sign-on that hears nothing fails in time' => sub {
    local $Tolvane::Transport::OSCAR::SIGNON_WAIT = 0.2;
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'x', password => 'y');
    is_deeply [events_within($t, 5)],
      [{ type => 'signon_failed', reason => 'network', detail => 'no answer from the server' }];
};

subtest 'losing the connection once online: killed, stopped, no longer answering' => sub {
    my ($t, $o) = signed_on();
    $o->fire('error', undef, 1, 'a warning only', 0);
    $o->fire('connection_changed', { conntype => Net::OSCAR::Constants::CONNTYPE_CHAT() }, 'deleted');
    is_deeply [$t->poll(0)], [], 'a warning and the end of a side connection are no loss';
    $o->server_drops;
    is_deeply [$t->poll(0)], [{ type => 'disconnected', detail => 'the server closed the connection' }],
      'killed: one loss, though the package tells it twice';

    # Stopped normally: the socket is at its end, which the package misses.
    socketpair(my $ours, my $servers, AF_UNIX, SOCK_STREAM, PF_UNSPEC) or die "socketpair: $!";
    ($t, $o) = signed_on(socket => $ours);
    close $servers;
    my $cpu = (times)[0] + (times)[1];
    is_deeply [events_within($t, 5)], [{ type => 'disconnected', detail => 'the server closed the connection' }],
      'stopped';
    cmp_ok((times)[0] + (times)[1] - $cpu, '<', 0.5, 'noticed without spinning');

    local $Tolvane::Transport::OSCAR::PING_EVERY = 0.2;
    local $Tolvane::Transport::OSCAR::PING_WAIT  = 1;
    ($t, $o) = signed_on();
    my $until = Time::HiRes::time() + 2;
    while (Time::HiRes::time() < $until) {
        is_deeply [$t->poll(0.05)], [], 'answering' or last;
        $o->fire('buddy_info', 'JoeBot', {}) if $o->{asked}[-1];
        $o->{asked} = [];
    }
    is_deeply [events_within($t, 5)], [{ type => 'disconnected', detail => 'the server no longer answers' }],
      'no longer answering';
};

subtest 'the bot against the package: lost, back, refused, then away for long without spinning' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joebot');
    $f->put('Kavri.ini', "reconnect_delay = 1\r\n");
    my $bot = Tolvane::Bot->new(dir => $f->data, transport => Tolvane::Transport::OSCAR->new);
    my @seen;
    my $step = sub {
        $bot->step(@_);
        my $now = $f->first_line('control.txt') . ' / ' . $f->first_line('results.txt');
        push @seen, $now unless @seen && $seen[-1] eq $now;
    };
    $bot->start;
    last_oscar->server_accepts;
    $step->(0);
    last_oscar->server_drops;
    $step->(0);
    $step->(0.1) until last_oscar->{connections};
    last_oscar->server_accepts;
    $step->(0);
    last_oscar->fire('error', undef, 2,
        'Your message could not be sent for the following reason: Sending too fast to host', 0);
    $step->(0);
    s/\d\d:\d\d:\d\d\z/T/ for @seen;
    is_deeply \@seen, [
        'Connected! / Connected as joebot, 0 messages received',
        'Not connected / The connection to AIM was lost (the server closed the connection); trying again at T',
        'Not connected / Signing on as joebot',
        'Connected! / Connected as joebot, 0 messages received',
        'Connected! / Connected as joebot, 0 messages received; the AIM server turned down an answer'
          . ' sent too fast, later ones go out as usual',
    ];

    # The server stays away for 10 s: every sign-on is refused.
    last_oscar->server_drops;
    my $made = @Net::OSCAR::made;
    my $cpu = (times)[0] + (times)[1];
    my $until = Time::HiRes::time() + 10;
    while (Time::HiRes::time() < $until) {
        $bot->step(1);
        last_oscar->server_refuses("Couldn't connect to x: Connection refused") if last_oscar->{connections};
    }
    cmp_ok((times)[0] + (times)[1] - $cpu, '<', 0.1, 'CPU time of 10 s of waiting');
    cmp_ok @Net::OSCAR::made - $made, '>=', 2, 'tried again, each time with a new object';
    is $f->first_line('control.txt'), 'Not connected';
};

done_testing;
